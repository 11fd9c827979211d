#include "common/units.h"

#include "common/run_error.h"

#include <gtest/gtest.h>

using namespace pelmar::common;

namespace {

int errorOf(double (*convert)(double), double value) {
    try {
        convert(value);
    } catch (const RunError& error) {
        return error.number();
    }
    return 0;
}

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
    const auto millimetres = [](double v) { return double(millimetresToTwips(v)); };
    const auto dots = [](double v) { return double(dotsToTwips(v)); };
    EXPECT_EQ(errorOf(millimetres, 1e9), Overflow);
    EXPECT_EQ(errorOf(dots, -1e10), Overflow);
    EXPECT_EQ(errorOf(dots, 1e8), 0);
}

TEST(Units, PointsAndPixelsOfTwips) {
    EXPECT_DOUBLE_EQ(twipsToPoints(3402), 170.1);
    EXPECT_DOUBLE_EQ(pointsToTwips(12), 240);
    EXPECT_DOUBLE_EQ(twipsToPixels(1440, 203), 203);
    EXPECT_DOUBLE_EQ(twipsToPixels(3402, 203), 479.5875);
    EXPECT_DOUBLE_EQ(kTwipsPerDot * 80, 567);
}

} // namespace
