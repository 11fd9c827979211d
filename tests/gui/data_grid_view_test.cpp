#include "shell/gui/data_grid_model.h"

#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

// A state of `records` records over fields of the given widths (parts 2 of the definitions).
state::WorkingState stateWith(int records, const QList<int>& widths) {
    state::WorkingState state;
    state.fieldCount = static_cast<std::int16_t>(widths.size());
    state.field.recreate(state.fieldCount + 1, 5);
    for (int j = 1; j <= state.fieldCount; ++j) {
        state.field.set(j, 0, QStringLiteral("F%1").arg(j));
        state.field.set(j, 2, QString::number(widths[j - 1]));
    }
    state.recordCount = static_cast<std::int16_t>(records);
    state.records.recreate(records + 1, state.fieldCount + 1);
    for (int r = 1; r <= records; ++r)
        for (int j = 1; j <= state.fieldCount; ++j)
            state.records.set(r, j, QStringLiteral("r%1f%2").arg(r).arg(j));
    state.delimiter = QStringLiteral(";");
    return state;
}

TEST(DataGridModel, NumberingHeadersAndCells) {
    state::WorkingState state = stateWith(10000, {8, 20});
    DataGridModel model;
    model.fill(state);
    EXPECT_EQ(model.rowCount(), 10000);
    EXPECT_EQ(model.columnCount(), 3);
    const struct {
        int row;
        int column;
        const char* text;
    } cells[] = {
        {0, 0, "0001"},     {6, 0, "0007"}, {9998, 0, "9999"},
        {9999, 0, "10000"}, {6, 1, "r7f1"}, {6, 2, "r7f2"},
    };
    for (const auto& cell : cells)
        EXPECT_EQ(model.data(model.index(cell.row, cell.column), Qt::DisplayRole).toString(),
                  QString::fromUtf8(cell.text))
            << cell.row << "," << cell.column;
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("資料數"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("F2"));
    const auto alignment = Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              alignment);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
              alignment);
}

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
