#include "print_driver/bar_layout.h"

#include "print_driver/queue_resolution.h"
#include "support/fake_print_system.h"

#include <gtest/gtest.h>

namespace pelmar::print_driver {
namespace {

TEST(BarLayout, ModuleIsAQuarterMillimetreInWholeDots) {
    const std::pair<int, int> cases[] = {{203, 2},   {300, 3}, {600, 6},
                                         {1200, 12}, {72, 1},  {50, 1}};
    for (const auto& [dotsPerInch, module] : cases)
        EXPECT_EQ(barcodeModuleDots(dotsPerInch), module) << dotsPerInch;
}

// The text position in twips lands on the nearest dot of the printer; the bars follow the
// modules, each module its whole dots.
TEST(BarLayout, BarsStartOnTheDotGridOfTheTextPosition) {
    BarcodeModules modules;
    modules.dark = {true, false, true, true, true, false, false, true};
    const DotBars at203 = layOutBars(modules, 291.0, 213.0, 480.0, 203);
    EXPECT_EQ(at203.left, 41); // 291 twips = 41.02 dots
    EXPECT_EQ(at203.top, 30);
    EXPECT_EQ(at203.height, 68); // 24 points
    ASSERT_EQ(at203.bars.size(), 3u);
    EXPECT_EQ(at203.bars[1].start, 4);
    EXPECT_EQ(at203.bars[1].width, 6);
    EXPECT_EQ(at203.width(), 16);
    const DotBars at300 = layOutBars(modules, 291.0, 213.0, 480.0, 300);
    EXPECT_EQ(at300.left, 61); // 60.6 dots
    EXPECT_EQ(at300.bars[2].start, 21);
    EXPECT_EQ(at300.bars[2].width, 3);
    // A resolution that is no printer's is the default; a height below a dot is one dot.
    EXPECT_EQ(layOutBars(modules, 0, 0, 1, 0).dotsPerInch, kDefaultPrinterDotsPerInch);
    EXPECT_EQ(layOutBars(modules, 0, 0, 1, 203).height, 1);
}

TEST(QueueResolution, TheQueuesAnswerWhenItIsAPrintersElse203) {
    struct Case {
        std::optional<int> answer;
        int used;
    } cases[] = {{300, 300}, {203, 203},  {600, 600}, {std::nullopt, 203},
                 {0, 203},   {-300, 203}, {49, 203},  {100000, 203}};
    for (const Case& c : cases) {
        test::FakePrintSystem system;
        if (c.answer)
            system.resolutions[QStringLiteral("TSC_TTP244")] = *c.answer;
        EXPECT_EQ(queueDotsPerInch(system, QStringLiteral("TSC_TTP244")), c.used);
    }
}

} // namespace
} // namespace pelmar::print_driver
