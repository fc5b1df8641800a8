#include "GlibcFloor.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <limits>
#include <link.h>
#include <unistd.h>

// Versions that glibc 2.17 and older already had: the threads entries moved into libc.so.6 in
// 2.34 (pthread_sigmask in 2.32) under a new version, and older systems find the old one in
// libpthread.so.0 or libdl.so.2 (both among the module's dependencies).
#if defined(__x86_64__)
#define OLDER(x86_64, i386) x86_64
#else
#define OLDER(x86_64, i386) i386
#endif
#define BIND(local, name, version) __asm__(".symver " #local "," #name "@" version)

extern "C" {
int olderPthreadCreate(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
int olderPthreadJoin(pthread_t, void**);
int olderPthreadDetach(pthread_t);
int olderPthreadOnce(pthread_once_t*, void (*)());
int olderPthreadKeyCreate(pthread_key_t*, void (*)(void*));
int olderPthreadSigmask(int, const sigset_t*, sigset_t*);
void* olderDlopen(const char*, int);
void* olderDlsym(void*, const char*);
int olderDlclose(void*);
int olderDladdr(const void*, Dl_info*);
}
BIND(olderPthreadCreate, pthread_create, OLDER("GLIBC_2.2.5", "GLIBC_2.1"));
BIND(olderPthreadJoin, pthread_join, OLDER("GLIBC_2.2.5", "GLIBC_2.0"));
BIND(olderPthreadDetach, pthread_detach, OLDER("GLIBC_2.2.5", "GLIBC_2.0"));
BIND(olderPthreadOnce, pthread_once, OLDER("GLIBC_2.2.5", "GLIBC_2.0"));
BIND(olderPthreadKeyCreate, __pthread_key_create, OLDER("GLIBC_2.2.5", "GLIBC_2.0"));
BIND(olderPthreadSigmask, pthread_sigmask, OLDER("GLIBC_2.2.5", "GLIBC_2.0"));
BIND(olderDlopen, dlopen, OLDER("GLIBC_2.2.5", "GLIBC_2.1"));
BIND(olderDlsym, dlsym, OLDER("GLIBC_2.2.5", "GLIBC_2.0"));
BIND(olderDlclose, dlclose, OLDER("GLIBC_2.2.5", "GLIBC_2.0"));
BIND(olderDladdr, dladdr, OLDER("GLIBC_2.2.5", "GLIBC_2.0"));

namespace ferrovane::glibc {

namespace {

constexpr long kNano = 1000000000;

using ClockWaitFunction = int (*)(pthread_cond_t*, pthread_mutex_t*, clockid_t, const timespec*);
ClockWaitFunction libraryClockWait = nullptr;

// Looked up while the module loads: a lookup at the first wait could block on the loader's lock,
// held by a thread that is unloading the module and waiting for the waiting thread to end.
__attribute__((constructor(101))) void FindLibraryClockWait() {
    // A lookup through libpthread.so.0 reaches libc.so.6 too, wherever the C library keeps it.
    void* threads = olderDlopen("libpthread.so.0", RTLD_NOW | RTLD_NOLOAD);
    libraryClockWait = reinterpret_cast<ClockWaitFunction>(
        olderDlsym(threads ? threads : RTLD_DEFAULT, "pthread_cond_clockwait"));
    if (threads) olderDlclose(threads);
}

struct Search {
    uintptr_t pc;
    dl_find_object* out;
};

// The mapped range as the dynamic loader reports it: from the page of the first loaded segment
// to the end of the last one.
int VisitObject(dl_phdr_info* info, size_t, void* data) {
    Search& search = *static_cast<Search*>(data);
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    uintptr_t start = UINTPTR_MAX, end = 0;
    const ElfW(Phdr)* ehFrame = nullptr;
    const ElfW(Phdr)* dynamic = nullptr;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD) {
            uintptr_t first = info->dlpi_addr + (segment.p_vaddr & ~(page - 1));
            uintptr_t last = info->dlpi_addr + segment.p_vaddr + segment.p_memsz;
            if (first < start) start = first;
            if (last > end) end = last;
        } else if (segment.p_type == PT_GNU_EH_FRAME) {
            ehFrame = &segment;
        } else if (segment.p_type == PT_DYNAMIC) {
            dynamic = &segment;
        }
    }
    if (search.pc < start || search.pc >= end) return 0;
    dl_find_object& out = *search.out;
    out = dl_find_object{};
    out.dlfo_map_start = reinterpret_cast<void*>(start);
    out.dlfo_map_end = reinterpret_cast<void*>(end);
    if (ehFrame) out.dlfo_eh_frame = reinterpret_cast<void*>(info->dlpi_addr + ehFrame->p_vaddr);
#if DLFO_STRUCT_HAS_EH_DBASE
    // The loader has relocated the dynamic section in place, so the entry holds an address.
    if (dynamic) {
        auto* entry = reinterpret_cast<const ElfW(Dyn)*>(info->dlpi_addr + dynamic->p_vaddr);
        for (; entry->d_tag != DT_NULL; ++entry)
            if (entry->d_tag == DT_PLTGOT)
                out.dlfo_eh_dbase = reinterpret_cast<void*>(entry->d_un.d_ptr);
    }
#else
    (void)dynamic;
#endif
    return 1;
}

} // namespace

int FindObject(void* pc, dl_find_object* out) {
    Search search{reinterpret_cast<uintptr_t>(pc), out};
    return dl_iterate_phdr(VisitObject, &search) ? 0 : -1;
}

int ClockWait(pthread_cond_t* cond, pthread_mutex_t* mutex, clockid_t clock,
              const timespec* deadline) {
    if (libraryClockWait) return libraryClockWait(cond, mutex, clock, deadline);
    return RealtimeClockWait(cond, mutex, clock, deadline);
}

int RealtimeClockWait(pthread_cond_t* cond, pthread_mutex_t* mutex, clockid_t clock,
                      const timespec* deadline) {
    if (!deadline || deadline->tv_nsec < 0 || deadline->tv_nsec >= kNano) return EINVAL;
    if (clock == CLOCK_REALTIME) return pthread_cond_timedwait(cond, mutex, deadline);
    if (clock != CLOCK_MONOTONIC) return EINVAL;
    timespec now{}, until{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    clock_gettime(CLOCK_REALTIME, &until);
    if (deadline->tv_sec < now.tv_sec) return pthread_cond_timedwait(cond, mutex, &until);
    time_t seconds = deadline->tv_sec - now.tv_sec;
    long nanoseconds = deadline->tv_nsec - now.tv_nsec;
    if (nanoseconds < 0) {
        nanoseconds += kNano;
        --seconds;
    }
    if (seconds < 0) return pthread_cond_timedwait(cond, mutex, &until);
    // A deadline beyond the realtime clock's range waits as long as the clock can count.
    if (seconds >= std::numeric_limits<time_t>::max() - until.tv_sec) {
        until = {std::numeric_limits<time_t>::max(), kNano - 1};
        return pthread_cond_timedwait(cond, mutex, &until);
    }
    until.tv_sec += seconds;
    until.tv_nsec += nanoseconds;
    if (until.tv_nsec >= kNano) {
        until.tv_nsec -= kNano;
        ++until.tv_sec;
    }
    return pthread_cond_timedwait(cond, mutex, &until);
}

} // namespace ferrovane::glibc

// The entries the linker redirects here (FERROVANE_GLIBC_WRAPPED in cmake/SelfContained.cmake).
// NOLINTBEGIN(bugprone-reserved-identifier): the names are the linker's --wrap convention.
extern "C" {

int __wrap_pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*),
                          void* arg) {
    return olderPthreadCreate(thread, attr, start, arg);
}

int __wrap_pthread_join(pthread_t thread, void** result) {
    return olderPthreadJoin(thread, result);
}

int __wrap_pthread_detach(pthread_t thread) {
    return olderPthreadDetach(thread);
}

int __wrap_pthread_once(pthread_once_t* once, void (*init)()) {
    return olderPthreadOnce(once, init);
}

int __wrap___pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
    return olderPthreadKeyCreate(key, destructor);
}

int __wrap_pthread_sigmask(int how, const sigset_t* set, sigset_t* previous) {
    return olderPthreadSigmask(how, set, previous);
}

void* __wrap_dlopen(const char* file, int mode) {
    return olderDlopen(file, mode);
}

void* __wrap_dlsym(void* handle, const char* name) {
    return olderDlsym(handle, name);
}

int __wrap_dlclose(void* handle) {
    return olderDlclose(handle);
}

int __wrap_dladdr(const void* address, Dl_info* info) {
    return olderDladdr(address, info);
}

int __wrap_pthread_cond_clockwait(pthread_cond_t* cond, pthread_mutex_t* mutex, clockid_t clock,
                                  const timespec* deadline) {
    return ferrovane::glibc::ClockWait(cond, mutex, clock, deadline);
}

int __wrap__dl_find_object(void* pc, dl_find_object* out) {
    return ferrovane::glibc::FindObject(pc, out);
}

// Never "single-threaded": the C++ runtime then always counts references atomically.
char __wrap___libc_single_threaded = 0;
}
// NOLINTEND(bugprone-reserved-identifier)
