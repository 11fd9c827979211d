#include "gui/screens_fixture.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using namespace screens_test;

// The record numbers (column 0) stay in view while the fields scroll sideways, and follow the
// rows when the grid scrolls down; the header row stays on top.
TEST_F(ScreensFixture, RecordNumberColumnStaysInViewWhileTheFieldsScroll) {
    start({.records = 40});
    m_window->resizeClientTwips(4000, 6000);
    QTableView* grid = m_window->MSFlexGrid1();
    auto* fixed = grid->findChild<QTableView*>(QStringLiteral("MSFlexGrid1FixedColumn"));
    ASSERT_NE(fixed, nullptr);
    ASSERT_GT(grid->horizontalScrollBar()->maximum(), 0)
        << "the fields must be wider than the grid";
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    grid->scrollTo(grid->model()->index(30, 1));
    QApplication::processEvents();

    EXPECT_TRUE(fixed->isVisible());
    EXPECT_EQ(fixed->width(), grid->columnWidth(0));
    EXPECT_EQ(fixed->verticalScrollBar()->value(), grid->verticalScrollBar()->value());
    const QModelIndex number = grid->model()->index(30, 0);
    EXPECT_EQ(number.data().toString(), QStringLiteral("0031"));
    EXPECT_TRUE(fixed->viewport()->rect().contains(fixed->visualRect(number)));
    EXPECT_EQ(fixed->visualRect(number).top(), grid->visualRect(grid->model()->index(30, 1)).top());
    for (int column = 1; column < grid->model()->columnCount(); ++column)
        EXPECT_TRUE(fixed->isColumnHidden(column)) << column;
    EXPECT_EQ(fixed->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("資料數"));
    // A row chosen in the grid is the row shown chosen beside it.
    EXPECT_EQ(fixed->selectionModel(), grid->selectionModel());
}

} // namespace
} // namespace pelmar::gui
