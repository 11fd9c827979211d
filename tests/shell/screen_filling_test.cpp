#include "shell/app/screen_filling.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

TEST(ScreenFilling, TestPrintScreen) {
    state::WorkingState state;
    state.textFileName = QStringLiteral("/data/items.txt");
    state.adPrice = -15;
    TestPrintScreenFill fill = testPrintScreenFill(state);
    EXPECT_TRUE(fill.formats.isEmpty());
    EXPECT_FALSE(fill.editFormatEnabled);
    EXPECT_FALSE(fill.testPrintEnabled);
    EXPECT_FALSE(fill.priceEnabled);
    EXPECT_EQ(fill.priceText, QStringLiteral("-15"));
    EXPECT_EQ(fill.dataSourceName, state.textFileName);

    state.labelCount = 2;
    state.labelNames.recreate(2);
    state.labelNames.set(1, QStringLiteral("A.FMT"));
    state.labelNames.set(2, QStringLiteral("B.FMT"));
    state.editPrice = 1;
    fill = testPrintScreenFill(state);
    EXPECT_EQ(fill.formats, (QStringList{QStringLiteral("A.FMT"), QStringLiteral("B.FMT")}));
    EXPECT_TRUE(fill.editFormatEnabled);
    EXPECT_FALSE(fill.testPrintEnabled); // formats but no records
    EXPECT_TRUE(fill.priceEnabled);
    state.recordCount = 3;
    EXPECT_TRUE(testPrintScreenFill(state).testPrintEnabled);
}

TEST(ScreenFilling, SetupScreenFromTheWorkingState) {
    state::WorkingState state;
    state.printMode = 1;
    state.printerName = QStringLiteral("OLD PRINTER");
    state.across = 2;
    state.fieldCutIndex = 1;
    state.delimiter = QStringLiteral(";");
    state.editPriceField = 3;
    state.fieldCount = 2;
    state.field.recreate(3, 5);
    for (int part = 0; part < 5; ++part)
        state.field.set(1, part, QStringList{"A", "1", "5", "1", "0"}[part]);
    state.labelCount = 1;
    state.labelNames.recreate(1);
    state.labelNames.set(1, QStringLiteral("A.FMT"));
    state.selectedFieldIndex = 2;
    state.selectedFormatIndex = 1;
    const SetupScreenFill fill = prepareSetupScreen(state);
    EXPECT_EQ(fill.values.optPrintMode, 1);
    EXPECT_EQ(fill.values.cboPrinter, QStringLiteral("OLD PRINTER"));
    EXPECT_EQ(fill.values.txtLabelAcross, QStringLiteral("2"));
    EXPECT_EQ(fill.values.optFieldCut, 1);
    EXPECT_EQ(fill.values.txtDelimiter, QStringLiteral(";"));
    EXPECT_EQ(fill.values.chkEditPrice, 0);
    EXPECT_EQ(fill.values.txtEditPriceField, QStringLiteral("3"));
    // A row without a definition still lists its four commas.
    EXPECT_EQ(fill.values.fldList,
              (QStringList{QStringLiteral("A,1,5,1,0"), QStringLiteral(",,,,")}));
    EXPECT_EQ(fill.values.fmtList, QStringList{QStringLiteral("A.FMT")});
    EXPECT_EQ(fill.fieldCountText, QStringLiteral("2"));
    EXPECT_EQ(fill.labelCountText, QStringLiteral("1"));
    EXPECT_TRUE(fill.eraseSpace);
    EXPECT_FALSE(fill.eraseDecimal);
    EXPECT_EQ(state.selectedFieldIndex, 0);
    EXPECT_EQ(state.selectedFormatIndex, 0);
}

} // namespace
} // namespace pelmar::app
