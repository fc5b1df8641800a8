// A shared object linked the way the plugin is (runtime linked in, older C library entries), whose
// entries use the parts of the runtime that the plugin only reaches on failures: an exception
// thrown and caught across frames, a thread, a timed wait.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

int Descend(int depth) {
    if (depth == 0) throw std::runtime_error("bottom");
    return Descend(depth - 1) + 1;
}

} // namespace

// The depth the exception was thrown from, or -1 when it was not caught.
extern "C" __attribute__((visibility("default"))) int RuntimeModuleThrowAndCatch(int depth) {
    try {
        return Descend(depth);
    } catch (const std::runtime_error& e) {
        return e.what() == std::string("bottom") ? depth : -1;
    }
}

// True when a thread ran and a short timed wait that nobody signals timed out.
extern "C" __attribute__((visibility("default"))) bool RuntimeModuleThreadAndWait() {
    bool ran = false;
    std::thread([&ran] { ran = true; }).join();
    std::mutex mutex;
    std::condition_variable never;
    std::unique_lock<std::mutex> lock(mutex);
    bool timedOut = never.wait_for(lock, std::chrono::milliseconds(1)) == std::cv_status::timeout;
    return ran && timedOut;
}
