#include "SMutexID.h"
#include "SMutexOS.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using zell::threading::SMutexBase;
using zell::threading::SMutexID;
using zell::threading::SMutexOS;

namespace {

// Increments a plain counter from several threads under the lock; a lock that lets two
// holders in loses increments (and ThreadSanitizer reports the race).
long Hammer(SMutexBase& lock, int threads, int rounds) {
    long counter = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            for (int i = 0; i < rounds; ++i) {
                lock.Lock();
                long seen = counter;
                std::this_thread::yield();
                counter = seen + 1;
                lock.Unlock();
            }
        });
    }
    for (auto& w : workers)
        w.join();
    return counter;
}

} // namespace

TEST(MutexContention, SMutexIDExcludesUnderContention) {
    SMutexID lock;
    EXPECT_EQ(Hammer(lock, 6, 2000), 6 * 2000);
    EXPECT_FALSE(lock.IsLocked());
}

TEST(MutexContention, SMutexOSExcludesUnderContention) {
    SMutexOS lock;
    ASSERT_TRUE(lock.IsValid());
    EXPECT_EQ(Hammer(lock, 6, 2000), 6 * 2000);
}

TEST(MutexState, LockedFlagAndDestructionWhileHeld) {
    SMutexID id;
    EXPECT_EQ(id.Lock(), 0);
    EXPECT_TRUE(id.IsLocked());
    EXPECT_EQ(id.Unlock(), 0);
    EXPECT_FALSE(id.IsLocked());
    // After the destructor of a held lock released it, a lock at the same place is free.
    {
        SMutexID held;
        held.Lock();
    }
    SMutexOS os;
    EXPECT_EQ(os.Lock(), 0);
    EXPECT_TRUE(os.IsLocked());
    EXPECT_EQ(os.Unlock(), 0);
    EXPECT_FALSE(os.IsLocked());
    {
        SMutexOS held;
        held.Lock();
    }
}
