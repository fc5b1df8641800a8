// The LV2 plugin's run must not touch the heap: allocations are counted while the host runs it,
// with notes and controllers, a program change that silences them, the control ports moved and
// a full output buffer.
#include "CountingAllocator.h"
#include "Lv2Router.h"

namespace ferrovane::test {
namespace {

TEST(Lv2Allocation, RunAllocatesNothing) {
    Lv2Router r;
    Lv2Instance full(r.world, nullptr, 48000, 512);
    Lv2Events notes;
    const Lv2Events& played = notes;
    for (uint8_t i = 0; i < 200; ++i) {
        notes.push_back(Msg(i, {uint8_t(0x90 | (i & 15)), uint8_t(i & 0x7F), 100}));
        notes.push_back(Msg(i, {uint8_t(0xB0 | (i & 15)), 7, uint8_t(i & 0x7F)}));
        notes.push_back(Msg(i, {uint8_t(0xD0 | (i & 15)), uint8_t(i & 0x7F)}));
    }
    const Lv2Events change = {Msg(0, {0xC0, 3})};
    r.plugin.Set("preset_change", 1.0f); // program changes switch programs: the flush runs too
    int routed = 0;
    for (const Lv2Events* block : {&played, &change, &change, &played}) {
        r.plugin.Feed(*block);
        full.Feed(*block);
        r.plugin.Set("grid", r.plugin.Get("grid") > 0.5f ? 0.0f : 1.0f);
        r.plugin.Set("program", r.plugin.Get("program") + 1.0f);
        CountAllocations(true);
        r.plugin.RunFed(512);
        full.RunFed(512);
        CountAllocations(false);
        EXPECT_EQ(CountedAllocations(), 0);
        routed += static_cast<int>(r.plugin.Collect().size());
        EXPECT_LE(full.Collect().size(), 20u) << "no more than fits";
    }
    EXPECT_GT(routed, 600); // routed events and the flush's note offs
}

} // namespace
} // namespace ferrovane::test
