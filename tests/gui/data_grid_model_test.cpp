#include "shell/gui/data_grid_model.h"

#include "gui/grid_state.h"

#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using grid_test::stateWith;

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

} // namespace
} // namespace pelmar::gui
