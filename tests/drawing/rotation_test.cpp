// The pixel mapping of turned text, on plain one-bit pictures.
#include "SMonoImage.h"

#include <gtest/gtest.h>

using zell::gui::context::SMonoImage;

namespace {

// An L-shaped mark: a row along the top and a column down the left, plus one lone pixel, so
// every turn and flip looks different.
SMonoImage Sample(int width, int height) {
    SMonoImage picture(width, height);
    for (int x = 0; x < width; ++x)
        picture.Set(x, 0, true);
    for (int y = 0; y < height; ++y)
        picture.Set(0, y, true);
    picture.Set(width - 2, height - 2, true);
    return picture;
}

} // namespace

TEST(QuarterTurn, TextReadsUpwardsWithItsTopToTheLeft) {
    SMonoImage source = Sample(10, 6);
    SMonoImage turned = source.QuarterTurn();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(turned.Get(y, 10 - x), source.Get(x, y)) << x << "," << y;
    // The extra row of an even width is the top one, the extra column of an even height the
    // right one.
    for (int i = 0; i < turned.Width(); ++i)
        EXPECT_FALSE(turned.Get(i, 0));
    for (int j = 0; j < turned.Height(); ++j)
        EXPECT_FALSE(turned.Get(6, j));
    EXPECT_EQ(turned.Count(), source.Count());
}

TEST(Rotated, TheBoxHoldsTheWholeTurnWithRoom) {
    SMonoImage source = Sample(40, 12);
    for (int degrees : {15, 30, 45, 90, 135, 200, 270, 359, -45}) {
        SMonoImage turned = source.Rotated(degrees);
        EXPECT_EQ(turned.Width() % 2, 1) << degrees;
        EXPECT_EQ(turned.Height() % 2, 1) << degrees;
        // Nearest-pixel sampling may drop or double pixels on slants, but never most of them.
        EXPECT_GT(turned.Count(), source.Count() * 3 / 4) << degrees;
        for (int x = 0; x < turned.Width(); ++x) {
            EXPECT_FALSE(turned.Get(x, 0)) << degrees;
            EXPECT_FALSE(turned.Get(x, turned.Height() - 1)) << degrees;
        }
    }
}

TEST(Rotated, CounterClockwiseLiftsTheEndOfTheLine) {
    SMonoImage line(21, 1);
    for (int x = 0; x < 21; ++x)
        line.Set(x, 0, true);
    SMonoImage turned = line.Rotated(45);
    int cx = (turned.Width() - 1) / 2, cy = (turned.Height() - 1) / 2;
    EXPECT_TRUE(turned.Get(cx + 5, cy - 5));
    EXPECT_FALSE(turned.Get(cx + 5, cy + 5));
}

TEST(MonoImage, OutsideReadsClearAndIgnoresWrites) {
    SMonoImage picture(3, 2);
    picture.Set(-1, 0, true);
    picture.Set(3, 1, true);
    EXPECT_EQ(picture.Count(), 0);
    EXPECT_FALSE(picture.Get(5, 5));
    SMonoImage empty(-4, 2);
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.QuarterTurn().Count(), 0);
}
