// The input ring: events come out in the order they went in, also when a block's run crosses the
// end of the ring, and a full ring drops what does not fit.
#include "MidiEventQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace ferrovane {
namespace {

MidiEvent Numbered(int n) {
    MidiEvent e;
    e.frame = n;
    e.midi[0] = static_cast<uint8_t>(0xB0 | (n & 15));
    return e;
}

std::vector<int> DrainNumbers(MidiEventQueue& queue) {
    std::vector<int> numbers;
    queue.Drain([&](const MidiEvent& e) { numbers.push_back(e.frame); });
    return numbers;
}

TEST(MidiEventQueue, BlocksOfEverySizeComeOutInOrderAcrossTheEndOfTheRing) {
    MidiEventQueue queue;
    int next = 0;
    // Sizes chosen so that runs start at many places and cross the end, one of them exactly there.
    for (int size : {1, 37, 300, 174, 511, 512, 2, 0, 509, 3, 256, 255, 1, 512}) {
        const int first = next;
        for (int i = 0; i < size; ++i)
            ASSERT_TRUE(queue.Push(Numbered(next++)));
        ASSERT_EQ(queue.Count(), size);
        const std::vector<int> out = DrainNumbers(queue);
        ASSERT_EQ(static_cast<int>(out.size()), size) << "block from " << first;
        for (int i = 0; i < size; ++i)
            ASSERT_EQ(out[i], first + i) << "block from " << first;
        EXPECT_TRUE(queue.Empty());
    }
}

TEST(MidiEventQueue, AFullRingDropsTheRestAndPushEachSkipsNulls) {
    MidiEventQueue queue;
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(queue.Push(Numbered(i)));
    (void)DrainNumbers(queue); // the next run starts at slot 100

    std::vector<MidiEvent> events;
    for (int i = 0; i < 900; ++i)
        events.push_back(Numbered(i));
    queue.PushEach(900, [&](int i) { return i % 3 == 1 ? nullptr : &events[i]; });
    EXPECT_EQ(queue.Count(), MidiEventQueue::kCapacity);
    EXPECT_FALSE(queue.Push(Numbered(9999)));

    const std::vector<int> out = DrainNumbers(queue);
    ASSERT_EQ(static_cast<int>(out.size()), MidiEventQueue::kCapacity);
    int expected = 0;
    for (int n : out) {
        if (expected % 3 == 1) ++expected;
        EXPECT_EQ(n, expected++);
    }
}

} // namespace
} // namespace ferrovane
