// The order in which fonts a server lists stand in for a missing one, worked out from font names
// alone.
#include <gtest/gtest.h>

#include "SFontFallback.h"

using zell::gui::context::FallbackOrder;
using zell::gui::context::ParseFontName;
using zell::gui::context::SFontName;
using Names = std::vector<std::string>;

namespace {

TEST(FontNames, FieldsOfACoreFontName) {
    SFontName f;
    ASSERT_TRUE(ParseFontName("-B&H-Lucida-Medium-R-Normal-Sans-10-100-75-75-P-58-ISO8859-1", f));
    EXPECT_EQ(f.foundryFamily, "b&h-lucida");
    EXPECT_EQ(f.weight, "medium");
    EXPECT_EQ(f.style, "sans");
    EXPECT_EQ(f.pixels, 10);
    EXPECT_EQ(f.spacing, 'p');
    EXPECT_EQ(f.averageWidth, 58);
    for (const char* other : {"fixed", "6x13", "cursor", "-misc-fixed-medium-r-normal--13",
                              "-a-b-c-d-e-f-*-1-2-3-c-60-iso8859-1", ""})
        EXPECT_FALSE(ParseFontName(other, f)) << other;
    EXPECT_FALSE(ParseFontName(nullptr, f));
}

TEST(FontFallback, OtherFamiliesOfTheSizeThenTheNearestFixedThenFixed) {
    const Names sameSize = {
        "-adobe-courier-medium-r-normal--8-80-75-75-m-50-iso8859-1",
        "-adobe-times-medium-r-normal--8-80-75-75-p-44-iso8859-1",
        "-b&h-lucida-medium-r-normal-sans-8-80-75-75-p-45-iso8859-1",
        "-b&h-lucida-bold-r-normal-sans-8-80-75-75-p-50-iso8859-1",       // bold
        "-urw-nimbus sans l-medium-r-normal--8-0-0-0-p-0-iso8859-1",      // scaled
        "-misc-fixed-medium-r-normal--8-80-75-75-c-50-iso8859-1",         // comes as fixed
        "-schumacher-clean-medium-r-normal--12-120-75-75-c-60-iso8859-1", // another size
    };
    const Names fixed = {
        "-misc-fixed-medium-r-normal--13-120-75-75-c-70-iso8859-1",
        "-misc-fixed-medium-r-semicondensed--13-120-75-75-c-60-iso8859-1",
        "-misc-fixed-bold-r-normal--8-80-75-75-c-50-iso8859-1",
        "-misc-fixed-medium-r-normal--9-90-75-75-c-60-iso8859-1",
        "-misc-fixed-medium-r-normal--8-80-75-75-c-50-iso8859-1",
        "-misc-fixed-medium-r-normal--7-70-75-75-c-50-iso8859-1",
        "-misc-fixed-medium-r-normal--10-0-75-75-c-0-iso8859-1", // scaled
        "fixed",
    };
    EXPECT_EQ(FallbackOrder(sameSize, fixed, 8, false),
              (Names{"-b&h-lucida-medium-r-normal-sans-8-80-75-75-p-45-iso8859-1",
                     "-adobe-times-medium-r-normal--8-80-75-75-p-44-iso8859-1",
                     "-adobe-courier-medium-r-normal--8-80-75-75-m-50-iso8859-1",
                     "-misc-fixed-medium-r-normal--8-80-75-75-c-50-iso8859-1",
                     "-misc-fixed-medium-r-normal--7-70-75-75-c-50-iso8859-1",
                     "-misc-fixed-medium-r-normal--9-90-75-75-c-60-iso8859-1",
                     "-misc-fixed-medium-r-semicondensed--13-120-75-75-c-60-iso8859-1",
                     "-misc-fixed-medium-r-normal--13-120-75-75-c-70-iso8859-1",
                     "-misc-fixed-bold-r-normal--8-80-75-75-c-50-iso8859-1", "fixed"}));
}

TEST(FontFallback, BoldKeepsItsWeightBeforeItsSize) {
    const Names fixed = {
        "-misc-fixed-medium-r-normal--18-120-100-100-c-90-iso8859-1",
        "-misc-fixed-bold-r-normal--15-140-75-75-c-90-iso8859-1",
        "-misc-fixed-bold-r-normal--18-120-100-100-c-90-iso8859-1",
        "-misc-fixed-bold-r-normal--13-120-75-75-c-70-iso8859-1",
    };
    const Names order = FallbackOrder({}, fixed, 17, true);
    ASSERT_EQ(order.size(), 5u);
    EXPECT_EQ(order[0], "-misc-fixed-bold-r-normal--18-120-100-100-c-90-iso8859-1");
    EXPECT_EQ(order[1], "-misc-fixed-bold-r-normal--15-140-75-75-c-90-iso8859-1");
    EXPECT_EQ(order[3], "-misc-fixed-medium-r-normal--18-120-100-100-c-90-iso8859-1");
}

// A server with nothing but its built-in fonts: "fixed" and the cursor font.
TEST(FontFallback, ABareServerEndsAtFixed) {
    EXPECT_EQ(FallbackOrder({"-misc-fixed-medium-r-semicondensed--10-72-100-100-c-0-iso8859-1"},
                            {"-misc-fixed-medium-r-semicondensed--13-120-75-75-c-60-iso8859-1"}, 10,
                            false),
              (Names{"-misc-fixed-medium-r-semicondensed--13-120-75-75-c-60-iso8859-1", "fixed"}));
    EXPECT_EQ(FallbackOrder({}, {}, 12, true), Names{"fixed"});
}

TEST(FontFallback, OfTwoSizesEquallyNearTheSmallerComesFirst) {
    const Names order = FallbackOrder({},
                                      {"-misc-fixed-medium-r-normal--11-80-100-100-c-0-iso8859-1",
                                       "-misc-fixed-medium-r-normal--11-110-75-75-c-60-iso8859-1",
                                       "-misc-fixed-medium-r-normal--9-90-75-75-c-60-iso8859-1"},
                                      10, false);
    EXPECT_EQ(order, (Names{"-misc-fixed-medium-r-normal--9-90-75-75-c-60-iso8859-1",
                            "-misc-fixed-medium-r-normal--11-110-75-75-c-60-iso8859-1", "fixed"}));
}

} // namespace
