#include "KeepLoaded.h"

#include <dlfcn.h>

namespace zell::system {

// Opening an object that is loaded already only counts it once more; RTLD_NODELETE then marks
// it as never to be unmapped, and the count is given back at once.
void KeepLoaded(const void* address) {
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0 || !info.dli_fname) return;
    if (void* handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE))
        dlclose(handle);
}

void KeepOwnObjectLoaded() {
    KeepLoaded(reinterpret_cast<const void*>(&KeepOwnObjectLoaded));
}

} // namespace zell::system
