#include "shell/gui/frm_pelmar_chi.h"

#include "gui/grid_state.h"
#include "shell/gui/data_grid_model.h"
#include "shell/gui/twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using grid_test::stateWith;

TEST(FrmPelmarChiGrid, ColumnWidthsFromTheFieldWidths) {
    state::WorkingState state = stateWith(2, {8, 20, 300});
    FrmPelmarChi window(state);
    window.fillDataGrid(state);
    const QTableView* grid = window.MSFlexGrid1();
    // 800 for the numbers; 8 x 130 is below 1300; 20 x 130 = 2600; 300 x 130 held at 32767.
    const int expected[] = {800, 1300, 2600, 32767};
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(grid->columnWidth(column), toPixels(expected[column], &window)) << column;
}

TEST(FrmPelmarChiGrid, ClickMakesTheCurrentRecordAndShowsItsLine) {
    state::WorkingState state = stateWith(3, {8, 8, 8});
    state.records.set(2, 1, QStringLiteral("A"));
    state.records.set(2, 2, QString());
    state.records.set(2, 3, QStringLiteral("C"));
    FrmPelmarChi window(state);
    window.show();
    window.fillDataGrid(state);
    EXPECT_EQ(window.gridCurrentRow(), 1);
    EXPECT_EQ(state.currentRecord, 0) << "filling is not a click";

    QTableView* grid = window.MSFlexGrid1();
    const QRect cell = grid->visualRect(window.gridModel()->index(1, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(window.gridCurrentRow(), 2);
    EXPECT_EQ(state.currentRecord, 2);
    EXPECT_EQ(window.lblPrintData()->text(), QStringLiteral("A; ;C"));
}

TEST(FrmPelmarChiGrid, RowsShownByARunAreNoClick) {
    state::WorkingState state = stateWith(1000, {8});
    FrmPelmarChi window(state);
    window.show();
    window.fillDataGrid(state);
    window.showGridRow(400);
    EXPECT_EQ(window.gridCurrentRow(), 400);
    EXPECT_EQ(state.currentRecord, 0);
    EXPECT_EQ(window.MSFlexGrid1()->rowAt(0), 399) << "the shown row is the top row";
    window.showGridRow(1001); // outside: nothing
    EXPECT_EQ(window.gridCurrentRow(), 400);
}

TEST(FrmPelmarChiGrid, NoRecordsEmptiesTheRecordLine) {
    state::WorkingState state = stateWith(2, {8});
    FrmPelmarChi window(state);
    window.fillDataGrid(state);
    window.setPrintData(QStringLiteral("old"));
    state.recordCount = 0;
    window.fillDataGrid(state);
    EXPECT_EQ(window.gridModel()->rowCount(), 0);
    EXPECT_EQ(window.gridCurrentRow(), 0);
    EXPECT_TRUE(window.lblPrintData()->text().isEmpty());
    window.MSFlexGrid1_Click();
    EXPECT_EQ(state.currentRecord, 0);
}

} // namespace
} // namespace pelmar::gui
