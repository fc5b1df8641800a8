// The runtime linked into the shared object and its bridge to older C libraries: the object
// lookup the unwinder relies on agrees with the C library's own, exceptions and threads work in
// an object linked like the plugin, and the timed wait keeps the C library's answers.
#include "GlibcFloor.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <dlfcn.h>
#include <limits>
#include <link.h>
#include <pthread.h>
#include <thread>

using ferrovane::glibc::ClockWait;
using ferrovane::glibc::FindObject;
using ferrovane::glibc::RealtimeClockWait;

namespace {

struct Module {
    void* handle = dlopen(FERROVANE_RUNTIME_MODULE, RTLD_NOW | RTLD_LOCAL);
    ~Module() {
        if (handle) dlclose(handle);
    }
    template <typename F> F* Entry(const char* name) {
        return reinterpret_cast<F*>(dlsym(handle, name));
    }
};

void ExpectSameAsLibrary(void* pc) {
    dl_find_object ours{}, library{};
    ASSERT_EQ(FindObject(pc, &ours), 0);
    ASSERT_EQ(_dl_find_object(pc, &library), 0);
    EXPECT_EQ(ours.dlfo_map_start, library.dlfo_map_start);
    EXPECT_EQ(ours.dlfo_map_end, library.dlfo_map_end);
    EXPECT_EQ(ours.dlfo_eh_frame, library.dlfo_eh_frame);
    EXPECT_NE(ours.dlfo_eh_frame, nullptr);
#if DLFO_STRUCT_HAS_EH_DBASE
    // The base is the GOT, as the unwinder computed it before _dl_find_object. The C library
    // answers the address of the DT_PLTGOT entry that holds it.
    const auto* entry = static_cast<const ElfW(Dyn)*>(library.dlfo_eh_dbase);
    ASSERT_NE(entry, nullptr);
    ASSERT_EQ(entry->d_tag, DT_PLTGOT);
    EXPECT_EQ(ours.dlfo_eh_dbase, reinterpret_cast<void*>(entry->d_un.d_ptr));
#endif
}

timespec Now(clockid_t clock, long addSeconds) {
    timespec t{};
    clock_gettime(clock, &t);
    t.tv_sec += addSeconds;
    return t;
}

// A waiter whose condition is signalled by another thread while it waits for deadline.
int SignalledWait(int (*wait)(pthread_cond_t*, pthread_mutex_t*, clockid_t, const timespec*),
                  clockid_t clock, timespec deadline) {
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t cond = PTHREAD_COND_INITIALIZER;
    bool signalled = false;
    pthread_mutex_lock(&mutex);
    std::thread signaller([&] {
        pthread_mutex_lock(&mutex);
        signalled = true;
        pthread_cond_signal(&cond);
        pthread_mutex_unlock(&mutex);
    });
    int result = 0;
    while (!signalled && result == 0)
        result = wait(&cond, &mutex, clock, &deadline);
    pthread_mutex_unlock(&mutex);
    signaller.join();
    return result;
}

int WaitOnce(int (*wait)(pthread_cond_t*, pthread_mutex_t*, clockid_t, const timespec*),
             clockid_t clock, timespec deadline) {
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t cond = PTHREAD_COND_INITIALIZER;
    pthread_mutex_lock(&mutex);
    int result = wait(&cond, &mutex, clock, &deadline);
    pthread_mutex_unlock(&mutex);
    return result;
}

} // namespace

TEST(ObjectLookup, AgreesWithTheCLibrary) {
    ExpectSameAsLibrary(reinterpret_cast<void*>(&ExpectSameAsLibrary));
    ExpectSameAsLibrary(dlsym(RTLD_DEFAULT, "printf"));
    Module module;
    ASSERT_NE(module.handle, nullptr) << dlerror();
    ExpectSameAsLibrary(reinterpret_cast<void*>(module.Entry<void>("RuntimeModuleThrowAndCatch")));

    int onStack = 0;
    dl_find_object out{};
    EXPECT_EQ(FindObject(&onStack, &out), -1);
    EXPECT_EQ(_dl_find_object(&onStack, &out), -1);
}

TEST(LinkedRuntime, ExceptionsThreadsAndWaitsWork) {
    Module module;
    ASSERT_NE(module.handle, nullptr) << dlerror();
    auto throwAndCatch = module.Entry<int(int)>("RuntimeModuleThrowAndCatch");
    auto threadAndWait = module.Entry<bool()>("RuntimeModuleThreadAndWait");
    ASSERT_NE(throwAndCatch, nullptr);
    ASSERT_NE(threadAndWait, nullptr);
    EXPECT_EQ(throwAndCatch(0), 0);
    EXPECT_EQ(throwAndCatch(25), 25);
    EXPECT_TRUE(threadAndWait());
}

TEST(TimedWait, AnswersAsTheCLibraryDoes) {
    for (auto wait : {ClockWait, RealtimeClockWait}) {
        for (clockid_t clock : {CLOCK_MONOTONIC, CLOCK_REALTIME}) {
            EXPECT_EQ(WaitOnce(wait, clock, Now(clock, -5)), ETIMEDOUT);
            EXPECT_EQ(WaitOnce(wait, clock, Now(clock, 0)), ETIMEDOUT);
            EXPECT_EQ(SignalledWait(wait, clock, Now(clock, 600)), 0);
        }
        // A deadline at the end of time is a long wait, not an error.
        EXPECT_EQ(SignalledWait(wait, CLOCK_MONOTONIC, {std::numeric_limits<time_t>::max(), 0}), 0);
        EXPECT_EQ(WaitOnce(wait, CLOCK_PROCESS_CPUTIME_ID, Now(CLOCK_MONOTONIC, 1)), EINVAL);
        EXPECT_EQ(WaitOnce(wait, CLOCK_MONOTONIC, {0, 1000000000}), EINVAL);
    }
}
