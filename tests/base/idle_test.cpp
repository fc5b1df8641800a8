#include "STimerIdle.h"
#include "ThreadProbe.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using zell::threading::SIdleFunction;
using zell::threading::STimerIdle;

namespace {

std::atomic<int> counted{0};
void Count(void* data) {
    static_cast<std::atomic<int>*>(data)->fetch_add(1);
}
SIdleFunction countFunction = Count;

struct Recorder {
    std::mutex mutex;
    std::string calls;
    void Add(char c) {
        std::lock_guard<std::mutex> lock(mutex);
        calls += c;
    }
    std::string Calls() {
        std::lock_guard<std::mutex> lock(mutex);
        return calls;
    }
};

struct Named {
    Recorder* recorder;
    char name;
    STimerIdle* timer = nullptr;
    std::atomic<bool> armed{false};
};

void Record(void* data) {
    auto* n = static_cast<Named*>(data);
    if (n->name != 'B') {
        n->recorder->Add(n->name);
    } else if (n->armed.exchange(false)) {
        n->recorder->Add('B');
        n->timer->RemoveFunction(); // its own entry, during its own call
    }
}
SIdleFunction recordFunction = Record;

} // namespace

TEST(IdleRegistry, OneEntryPerPairAndTheThreadEndsWithTheLastTimer) {
    const int before = BaseThreads();
    ASSERT_TRUE(ThreadsSettleAt(before));
    std::atomic<int> calls{0};
    {
        STimerIdle first(nullptr, 1, 1, false);
        EXPECT_TRUE(STimerIdle::IdleThreadRunning());
        EXPECT_TRUE(ThreadsSettleAt(before + 1));
        STimerIdle second(nullptr, 2, 500, false); // shares the running thread
        EXPECT_TRUE(ThreadsSettleAt(before + 1));
        first.SetFunction(&countFunction, &calls);
        first.SetFunction(&countFunction, &calls);
        second.SetFunction(&countFunction, &calls);
        EXPECT_EQ(STimerIdle::RegisteredCount(), 1u);
        EXPECT_TRUE(Eventually([&] { return calls >= 3; }));
        first.SetFunction(nullptr, nullptr); // replaces: the old pair goes
        EXPECT_EQ(STimerIdle::RegisteredCount(), 0u);
    }
    EXPECT_FALSE(STimerIdle::IdleThreadRunning());
    EXPECT_TRUE(ThreadsSettleAt(before));
}

TEST(IdleRegistry, UnregisteredTimerStillStopsTheThread) {
    const int before = BaseThreads();
    ASSERT_TRUE(ThreadsSettleAt(before));
    { STimerIdle lonely(nullptr, 1, 0, true); } // a zero period must not spin either
    EXPECT_FALSE(STimerIdle::IdleThreadRunning());
    EXPECT_TRUE(ThreadsSettleAt(before));
    {
        STimerIdle again(nullptr, 1, 1, false); // a later timer starts it again
        EXPECT_TRUE(STimerIdle::IdleThreadRunning());
    }
    EXPECT_TRUE(ThreadsSettleAt(before));
}

TEST(IdleRegistry, SelfRemovalSkipsNoEntry) {
    Recorder recorder;
    Named a{&recorder, 'A'}, b{&recorder, 'B'}, c{&recorder, 'C'};
    STimerIdle ta(nullptr, 1, 1, false), tb(nullptr, 2, 1, false), tc(nullptr, 3, 1, false);
    b.timer = &tb;
    ta.SetFunction(&recordFunction, &a);
    tb.SetFunction(&recordFunction, &b);
    tc.SetFunction(&recordFunction, &c);
    b.armed = true;
    ASSERT_TRUE(Eventually([&] { return STimerIdle::RegisteredCount() == 2; }));
    ASSERT_TRUE(Eventually([&] {
        std::string s = recorder.Calls();
        size_t at = s.find('B');
        return at != std::string::npos && s.size() > at + 2;
    }));
    std::string s = recorder.Calls();
    EXPECT_EQ(s.substr(s.find('B'), 3), "BCA");
    ta.RemoveFunction();
    tc.RemoveFunction();
}

TEST(IdleRegistry, ConcurrentRegistrationAndNoCallAfterRemoval) {
    const int before = BaseThreads();
    ASSERT_TRUE(ThreadsSettleAt(before));
    struct Slot {
        std::atomic<int> calls{0};
        std::atomic<bool> removed{false};
        std::atomic<int> late{0};
    };
    static SIdleFunction checked = [](void* data) {
        auto* slot = static_cast<Slot*>(data);
        if (slot->removed) ++slot->late;
        std::this_thread::yield();
        ++slot->calls;
    };
    {
        STimerIdle keeper(nullptr, 0, 1, false);
        keeper.SetFunction(&countFunction, &counted); // keeps the thread up between rounds
        std::vector<std::thread> threads;
        std::vector<std::unique_ptr<Slot>> slots;
        for (int t = 0; t < 4; ++t)
            slots.push_back(std::make_unique<Slot>());
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                Slot* slot = slots[t].get();
                for (int round = 0; round < 30; ++round) {
                    STimerIdle mine(nullptr, t + 1, 1, false);
                    slot->removed = false;
                    mine.SetFunction(&checked, slot);
                    int seen = slot->calls;
                    Eventually([&] { return slot->calls > seen; });
                    mine.RemoveFunction();
                    slot->removed = true;
                }
            });
        }
        for (auto& t : threads)
            t.join();
        EXPECT_EQ(STimerIdle::RegisteredCount(), 1u);
        for (auto& slot : slots) {
            EXPECT_EQ(slot->late, 0);
            EXPECT_GE(slot->calls, 30);
        }
        EXPECT_TRUE(STimerIdle::IdleThreadRunning());
    }
    EXPECT_TRUE(ThreadsSettleAt(before));
}

TEST(IdleRegistry, AnIdleFunctionMayDestroyTheLastTimer) {
    const int before = BaseThreads();
    ASSERT_TRUE(ThreadsSettleAt(before));
    struct Owner {
        std::unique_ptr<STimerIdle> timer;
        std::atomic<bool> done{false};
    } owner;
    static SIdleFunction destroy = [](void* data) {
        auto* o = static_cast<Owner*>(data);
        o->timer.reset(); // the last timer, from the idle thread itself
        o->done = true;
    };
    owner.timer = std::make_unique<STimerIdle>(nullptr, 1, 1, false);
    owner.timer->SetFunction(&destroy, &owner);
    ASSERT_TRUE(Eventually([&] { return owner.done.load(); }));
    EXPECT_FALSE(STimerIdle::IdleThreadRunning());
    EXPECT_TRUE(ThreadsSettleAt(before));
}
