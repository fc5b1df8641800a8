// Preloaded into the stand-in host: the process looks like one with libX11 1.6, where a lookup
// of XSetIOErrorExitHandler (libX11 1.7) finds nothing. Every other lookup goes on as usual.
// Says on standard error that it hid the entry.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace {

// dlsym's oldest version, which every glibc of both architectures has.
#if defined(__x86_64__)
constexpr const char* kOldest = "GLIBC_2.2.5";
#else
constexpr const char* kOldest = "GLIBC_2.0";
#endif

} // namespace

extern "C" __attribute__((visibility("default"))) void* dlsym(void* handle, const char* name) {
    using Lookup = void* (*)(void*, const char*);
    static const auto real = reinterpret_cast<Lookup>(dlvsym(RTLD_NEXT, "dlsym", kOldest));
    if (strcmp(name, "XSetIOErrorExitHandler") == 0) {
        fputs("older libX11: XSetIOErrorExitHandler is missing\n", stderr);
        return nullptr;
    }
    return real(handle, name);
}
