#include "STimer.h"
#include "SThread.h"
#include "ThreadSleep.h"
#include "ThreadProbe.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <sched.h>
#include <thread>
#include <vector>

using zell::object::SBaseEvent;
using zell::object::SIEventTarget;
using zell::threading::SThread;
using zell::threading::STimer;
using zell::threading::STimerObject;

namespace {

struct Target : SIEventTarget {
    bool CleaningUp() const override { return cleaning; }
    void SendBaseEvent(const SBaseEvent& e) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            last = e;
        }
        ++ticks;
        if (onTick) onTick();
    }
    SBaseEvent Last() {
        std::lock_guard<std::mutex> lock(mutex);
        return last;
    }
    std::atomic<bool> cleaning{false};
    std::atomic<int> ticks{0};
    std::mutex mutex;
    SBaseEvent last;
    std::function<void()> onTick;
};

void* Spin(void* flag) {
    auto* stopped = static_cast<std::atomic<bool>*>(flag);
    while (SThread::Pause(1000)) {
    }
    *stopped = true;
    return nullptr;
}

struct WaitCase {
    SThread thread{2};
    std::atomic<bool> resumed{false};
};

void* WaitThenMark(void* data) {
    auto* c = static_cast<WaitCase*>(data);
    c->thread.Wait(5);
    c->resumed = true;
    return nullptr;
}

} // namespace

TEST(ThreadRules, PriorityLevels) {
    EXPECT_EQ(SThread::PriorityFor(2, 0, 0), 0);
    EXPECT_EQ(SThread::PriorityFor(2, 1, 99), 50);
    EXPECT_EQ(SThread::PriorityFor(2, 1, 2), 1);
    EXPECT_EQ(SThread::PriorityFor(3, 1, 99), 99);
    EXPECT_EQ(SThread::PriorityFor(4, 1, 99), 99);
    EXPECT_EQ(SThread::PriorityFor(1, 1, 99), 1);
    EXPECT_EQ(SThread::PriorityFor(5, 1, 99), 1);
}

TEST(ThreadRules, PreciseSleepRequest) {
    timespec t = zell::threading::PreciseSleepRequest(1.5);
    EXPECT_EQ(t.tv_sec, 1);
    EXPECT_EQ(t.tv_nsec, 500000000);
    t = zell::threading::PreciseSleepRequest(0.000000999);
    EXPECT_EQ(t.tv_sec, 0);
    EXPECT_EQ(t.tv_nsec, 999);
    EXPECT_EQ(zell::threading::PreciseSleep(-1.0), -1);
    EXPECT_EQ(zell::threading::PreciseSleep(0.0), 0);
    EXPECT_EQ(zell::threading::PreciseSleep(0.001), 0);
}

TEST(ThreadLifetime, NullStartsNothing) {
    SThread t(2);
    int data = 0;
    t.Start(nullptr, &data);
    EXPECT_FALSE(t.IsActive());
    t.Start(Spin, nullptr);
    EXPECT_FALSE(t.IsActive());
    t.Cancel();
    t.Cancel();
}

TEST(ThreadLifetime, CancelFinishesTheThreadBeforeReturning) {
    const int before = BaseThreads();
    ASSERT_TRUE(ThreadsSettleAt(before));
    std::atomic<bool> stopped{false};
    {
        SThread t(2);
        t.Start(Spin, &stopped);
        ASSERT_TRUE(t.IsActive());
        EXPECT_TRUE(ThreadsSettleAt(before + 1));
        t.Cancel();
        EXPECT_TRUE(stopped); // the loop saw the stop, and the thread is gone
        EXPECT_FALSE(t.IsActive());
        t.Start(Spin, &stopped);
        stopped = false;
    } // destruction stops the second thread too
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(ThreadsSettleAt(before));
}

TEST(ThreadLifetime, WaitEndsOnResumeOrStop) {
    WaitCase c;
    c.thread.Start(WaitThenMark, &c);
    ASSERT_TRUE(Eventually([&] { return c.thread.IsWaiting(); }));
    EXPECT_FALSE(c.resumed);
    c.thread.Resume();
    EXPECT_TRUE(Eventually([&] { return c.resumed.load(); }));
    c.thread.Cancel();

    WaitCase d;
    d.thread.Start(WaitThenMark, &d);
    ASSERT_TRUE(Eventually([&] { return d.thread.IsWaiting(); }));
    d.thread.Cancel(); // must not hang on a thread that waits for a Resume
    EXPECT_TRUE(d.resumed);
}

TEST(Timers, TickCarriesTheTimerEvent) {
    Target target;
    STimer timer(&target, 42, 0);
    timer.Start(1);
    EXPECT_TRUE(timer.IsRunning());
    ASSERT_TRUE(Eventually([&] { return target.ticks >= 3; }));
    timer.Stop();
    SBaseEvent e = target.Last();
    EXPECT_EQ(e.type, 9);
    EXPECT_EQ(e.kind, 1);
    EXPECT_EQ(e.value, 42);
    EXPECT_EQ(e.sender, &target);
}

TEST(Timers, StopAndRestartLeakNoThreads) {
    const int before = BaseThreads();
    ASSERT_TRUE(ThreadsSettleAt(before));
    Target target;
    {
        STimer timer(&target, 1, 0);
        timer.Stop(); // never started
        for (int round = 0; round < 5; ++round) {
            timer.Start(1);
            timer.Start(2); // replaces the thread
            EXPECT_TRUE(ThreadsSettleAt(before + 1));
            timer.Stop();
            int ticks = target.ticks;
            EXPECT_TRUE(ThreadsSettleAt(before));
            EXPECT_EQ(target.ticks, ticks); // stopped means no more ticks
        }
        timer.Stop();
        timer.Start(1);
    } // destroyed while running
    EXPECT_TRUE(ThreadsSettleAt(before));
}

TEST(Timers, CleaningUpDropsTicksAndNotificationDelivers) {
    Target target;
    target.cleaning = true;
    STimerObject worker;
    worker.Start(&target, 5, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    worker.Stop();
    EXPECT_EQ(target.ticks, 0);
    target.cleaning = false;
    worker.Notification(); // stopped: the id went back to 0 but the target stays
    EXPECT_EQ(target.ticks, 1);
    STimerObject idle;
    idle.Notification(); // no control
    EXPECT_EQ(STimerObject::Job(nullptr), nullptr);
}

TEST(Timers, ATickMayStopItsOwnTimer) {
    const int before = BaseThreads();
    ASSERT_TRUE(ThreadsSettleAt(before));
    Target target;
    STimer timer(&target, 3, 0);
    std::atomic<bool> stopped{false};
    bool first = true; // touched by the timer thread only
    target.onTick = [&] {
        if (!first) return;
        first = false;
        timer.Stop();
        stopped = true;
    };
    timer.Start(1);
    ASSERT_TRUE(Eventually([&] { return stopped.load(); }));
    EXPECT_TRUE(ThreadsSettleAt(before));
    EXPECT_EQ(target.ticks, 1);
    EXPECT_FALSE(timer.IsRunning());
}
