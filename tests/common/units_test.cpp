#include "common/units.h"

#include "support/run_error_of.h"

#include <gtest/gtest.h>

using namespace pelmar::common;
using pelmar::test::runErrorNumberOf;

namespace {

TEST(Units, MillimetresAndDotsToTwipsRoundHalvesToEven) {
    struct Case {
        std::int32_t (*convert)(double);
        double value;
        std::int32_t twips;
    };
    const Case cases[] = {
        {&millimetresToTwips, 60, 3402},  {&millimetresToTwips, 40, 2268},
        {&millimetresToTwips, 12.5, 709}, {&millimetresToTwips, 0.1, 6},
        {&millimetresToTwips, -3, -170},  {&dotsToTwips, 8, 57},
        {&dotsToTwips, 40, 284},  // 283.5: to the even neighbour
        {&dotsToTwips, 120, 850}, // 850.5
        {&dotsToTwips, 16, 113},          {&dotsToTwips, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.convert(c.value), c.twips) << c.value;
}

TEST(Units, TwipsOutside32BitsOverflow) {
    EXPECT_EQ(runErrorNumberOf([] { millimetresToTwips(1e9); }), Overflow);
    EXPECT_EQ(runErrorNumberOf([] { dotsToTwips(-1e10); }), Overflow);
    EXPECT_EQ(runErrorNumberOf([] { dotsToTwips(1e8); }), 0);
}

TEST(Units, PointsAndPixelsOfTwips) {
    EXPECT_DOUBLE_EQ(twipsToPoints(3402), 170.1);
    EXPECT_DOUBLE_EQ(pointsToTwips(12), 240);
    EXPECT_DOUBLE_EQ(twipsToPixels(1440, 203), 203);
    EXPECT_DOUBLE_EQ(twipsToPixels(3402, 203), 479.5875);
    EXPECT_DOUBLE_EQ(kTwipsPerDot * 80, 567);
}

} // namespace
