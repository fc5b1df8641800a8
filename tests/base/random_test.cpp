#include "SRandomMarsaglia.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>

using zell::math::random::generator::SRandomMarsaglia;

namespace {

uint32_t Bits(float f) {
    uint32_t b;
    memcpy(&b, &f, sizeof b);
    return b;
}

} // namespace

// Reference numbers were derived by hand and with a separate script from the recurrence:
// for the default seed x = 0x0DAB8B14, y = 0x0723E544, carry 0, so the first step borrows:
// r = y - x - 18 = 0xF9785A1E and the output is r + 0x58C7699C = 0x523FC3BA.
TEST(Marsaglia, DefaultStateIsSeed314159265) {
    SRandomMarsaglia fresh;
    EXPECT_EQ(fresh.Value(), 314159265u);
    const uint32_t expected[] = {0x523FC3BA, 0x63F297CF, 0x3FF0B042,
                                 0x6A7A3D9F, 0x34C5820E, 0x8350F6E7};
    for (uint32_t e : expected)
        EXPECT_EQ(fresh.Integer(), e);
    EXPECT_EQ(fresh.Value(), 0x8350F6E7u);

    SRandomMarsaglia seeded;
    seeded.Seed(314159265u);
    SRandomMarsaglia other;
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(seeded.Integer(), other.Integer());
}

TEST(Marsaglia, KnownSeeds) {
    SRandomMarsaglia r;
    r.Seed(0);
    for (uint32_t e : {0x4F4F83B9u, 0x4423B77Du, 0x4E58DFDFu, 0x4D9B9D4Eu})
        EXPECT_EQ(r.Integer(), e);
    // Seed 1 starts with carry set (y > z), which the third number shows.
    r.Seed(1);
    for (uint32_t e : {0x4F4F83B9u, 0x4423B77Du, 0x4E58DFE0u, 0x4D9B9D4Eu})
        EXPECT_EQ(r.Integer(), e);
    r.Seed(0xFFFFFFFFu);
    for (uint32_t e : {0x623F4F6Cu, 0x6D6B1BA8u, 0x6335F334u})
        EXPECT_EQ(r.Integer(), e);
    EXPECT_EQ(r.SeedValue(), 0xFFFFFFFFu);
}

TEST(Marsaglia, FloatIsBitExactAndSigned) {
    SRandomMarsaglia r;
    EXPECT_EQ(Bits(r.Float()), 0x3EA47F87u);
    EXPECT_EQ(Bits(r.Float()), 0x3EC7E530u);
    EXPECT_EQ(Bits(r.Float()), 0x3E7FC2C1u);
    r.Integer();
    r.Integer();
    EXPECT_EQ(Bits(r.Float()), 0xBEF95E12u); // 0x8350F6E7 is negative as a signed number
    for (int i = 0; i < 10000; ++i) {
        float f = r.Float();
        EXPECT_GE(f, -0.5f);
        EXPECT_LE(f, 0.5f);
    }
}
