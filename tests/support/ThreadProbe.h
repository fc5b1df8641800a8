// Watching the process's threads from a test. A joined thread can linger in /proc/self/task
// for a moment (and longer under an emulator), so counts are awaited, never read once.
#pragma once

#include <chrono>
#include <dirent.h>
#include <thread>

inline int ThreadCount() {
    int count = 0;
    if (DIR* task = opendir("/proc/self/task")) {
        while (dirent* e = readdir(task))
            if (e->d_name[0] != '.') ++count;
        closedir(task);
    }
    return count;
}

// Waits for a condition; the bound only keeps a broken build from hanging.
template <typename F> bool Within(int seconds, F condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Waits up to ten seconds for a condition; the bound only keeps a broken build from hanging.
template <typename F> bool Eventually(F condition) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The threads of the process while no test runs one. Helpers that some runtimes start with
// the first extra thread (a sanitizer's, an emulator's) are brought up first, and the count is
// taken once it has held still for 100 ms.
inline int BaseThreads() {
    static const int base = [] {
        std::thread([] {}).join();
        int last = ThreadCount(), still = 0;
        for (int i = 0; i < 5000 && still < 100; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            int now = ThreadCount();
            still = now == last ? still + 1 : 0;
            last = now;
        }
        return last;
    }();
    return base;
}

inline bool ThreadsSettleAt(int count) {
    return Eventually([count] { return ThreadCount() == count; });
}
