#include "shell/app/grid_keys.h"
#include "shell/app/preview_reading.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

LabelPreview framedText() {
    LabelPreview preview;
    preview.elements = {{3, QRect(0, 0, 480, 320)}, {5, QRect(18, 96, 100, 40)}};
    return preview;
}

TEST(PreviewReading, TheSmallestElementUnderThePointTellsTheLine) {
    const LabelPreview preview = framedText();
    EXPECT_EQ(elementLineAt(preview, {20, 100}), 5);
    EXPECT_EQ(elementLineAt(preview, {300, 300}), 3);
    EXPECT_EQ(elementLineAt(preview, {600, 10}), 0);
    EXPECT_EQ(elementBoxesOf(preview, 5), QList<QRect>{QRect(18, 96, 100, 40)});
    EXPECT_TRUE(elementBoxesOf(preview, 0).isEmpty());
}

TEST(PreviewReading, PointerPositionInTheFormatsUnits) {
    LabelPreview atPrinter = framedText();
    atPrinter.dotsPerMillimetre = 12; // a 300 dpi printer
    const struct {
        int printMode;
        const char* line;
        QString expected;
    } rows[] = {
        {0, "", QStringLiteral("x 120, y 24 點 (10.0, 2.0 mm)")},
        {1, "V_Text=18,96,40,0,2,0,Arial,2", QStringLiteral("x 80, y 16 點 (10.0, 2.0 mm)")},
        {1, "Box=6,6,474,314,3", QStringLiteral("x 569, y 113 twips (10.0, 2.0 mm)")},
        {1, "", QStringLiteral("x 80, y 16 點 / x 569, y 113 twips (10.0, 2.0 mm)")},
    };
    for (const auto& row : rows)
        EXPECT_EQ(
            pointerPosition(atPrinter, {120.5, 24}, row.printMode, QString::fromUtf8(row.line)),
            row.expected);
}

TEST(PreviewReading, FaultsByLine) {
    LabelPreview preview;
    preview.problems = {{4, false, QStringLiteral("w")},
                        {4, true, QStringLiteral("e")},
                        {7, false, QStringLiteral("w")},
                        {0, true, QStringLiteral("all")}};
    EXPECT_EQ(problemMarks(preview), (std::map<int, bool>{{4, true}, {7, false}}));
    EXPECT_EQ(problemText(preview.problems[0]), QStringLiteral("第 4 行 警告: w"));
    EXPECT_EQ(problemText(preview.problems[3]), QStringLiteral("錯誤: all"));
    EXPECT_TRUE(isFormatKey(u"DMATRIX"));
    EXPECT_FALSE(isFormatKey(u"v_text"));
    EXPECT_EQ(formatKeyOf(u" V_Text =1"), QStringLiteral("V_Text"));
    EXPECT_EQ(formatKeyOf(u"'Box=1"), QString());
}

TEST(GridKeys, TextNeverReachesTheGridAndOnlyTheTestPrintScreenLeavesItFocusable) {
    EXPECT_FALSE(gridTakesKey(QStringLiteral("7"), Qt::NoModifier));
    EXPECT_FALSE(gridTakesKey(QStringLiteral("牛"), Qt::NoModifier));
    EXPECT_FALSE(gridTakesKey(QStringLiteral("A"), Qt::ShiftModifier));
    EXPECT_TRUE(gridTakesKey(QString(), Qt::NoModifier)); // arrows, Home, Page Down
    EXPECT_TRUE(gridTakesKey(QStringLiteral("\t"), Qt::NoModifier));
    EXPECT_TRUE(gridTakesKey(QStringLiteral("c"), Qt::ControlModifier));
    EXPECT_TRUE(gridTakesFocus({}));
    EXPECT_TRUE(gridTakesFocus({OverGrid::KeepsInUse}));
    EXPECT_FALSE(gridTakesFocus({OverGrid::KeepsInUse, OverGrid::Hides}));
}

TEST(GridKeys, TheChosenRowIsScrolledClearOfTheScreenOverTheGrid) {
    // 20 rows of 10 pixels show at once; a screen covers pixels 50 to 170.
    const auto rows = [](int topRow, int currentRow, int rowCount = 100) {
        return GridRows{10, 200, 50, 170, rowCount, topRow, currentRow};
    };
    EXPECT_EQ(topRowShowingCurrent(rows(0, 3)), std::nullopt);  // above the screen
    EXPECT_EQ(topRowShowingCurrent(rows(0, 18)), std::nullopt); // below it
    EXPECT_EQ(topRowShowingCurrent(rows(0, 8)), 4);    // just above it, the least scrolling
    EXPECT_EQ(topRowShowingCurrent(rows(40, 30)), 30); // above the view: the top row
    EXPECT_EQ(topRowShowingCurrent(rows(80, 98)), std::nullopt); // the last rows, below it
    EXPECT_EQ(topRowShowingCurrent(rows(80, 90)), 73);           // the view ends: below the screen
    // A screen over the whole view: nothing helps.
    EXPECT_EQ(topRowShowingCurrent(GridRows{10, 200, 0, 200, 100, 0, 5}), std::nullopt);
}

} // namespace
} // namespace pelmar::app
