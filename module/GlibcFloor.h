// The plugin is built on a current system and loaded into hosts on older ones. The C++ runtime
// and the unwinder are linked into the shared object, and the few C library entries they (and
// the libstdc++ headers) call that are newer than the oldest C library we support are redirected
// here by the linker (--wrap): to an older version of the same entry where one exists, otherwise
// to a replacement built from entries that old C libraries have.
#pragma once

#include <dlfcn.h>
#include <pthread.h>
#include <time.h>

namespace ferrovane::glibc {

// What _dl_find_object answers for the loaded object that contains pc, found with
// dl_iterate_phdr: the object's mapped range, its PT_GNU_EH_FRAME segment and, on i386, the
// base of data-relative pointers (DT_PLTGOT). dlfo_link_map is left null: the unwinder, the only
// caller, does not read it. Returns 0, or -1 when no object contains pc.
int FindObject(void* pc, dl_find_object* out);

// pthread_cond_clockwait: the C library's own where it has one (glibc 2.30 and later),
// otherwise RealtimeClockWait.
int ClockWait(pthread_cond_t* cond, pthread_mutex_t* mutex, clockid_t clock,
              const timespec* deadline);

// A wait for a deadline on CLOCK_MONOTONIC or CLOCK_REALTIME with pthread_cond_timedwait: the
// deadline is moved to the realtime clock, so a jump of the wall clock during the wait moves it
// too. EINVAL for another clock or a malformed deadline.
int RealtimeClockWait(pthread_cond_t* cond, pthread_mutex_t* mutex, clockid_t clock,
                      const timespec* deadline);

} // namespace ferrovane::glibc
