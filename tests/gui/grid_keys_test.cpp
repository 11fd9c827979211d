#include "gui/screens_fixture.h"

#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using namespace screens_test;

TEST_F(ScreensFixture, TheGridBehindTheSetupScreenNeverTakesTheFocus) {
    start();
    activate();
    QTableView* grid = m_window->MSFlexGrid1();
    grid->setFocus();
    press(Qt::Key_Down);
    openSetup();
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        for (int i = 0; i < 60; ++i) {
            press(key);
            ASSERT_NE(m_window->focusWidget(), grid) << i;
        }
    }
    EXPECT_EQ(m_state.currentRecord, 2);
    setup()->cmdSetupCancel()->click();
    grid->setFocus();
    EXPECT_TRUE(grid->hasFocus());
}

TEST_F(ScreensFixture, TheTestPrintScreenDoesNotHideTheChosenRecord) {
    start({.records = 60});
    QTableView* grid = m_window->MSFlexGrid1();
    const auto hidden = [&] {
        const QRect row = grid->visualRect(grid->currentIndex());
        const QRect panel(grid->viewport()->mapFrom(testPrint()->parentWidget(),
                                                    testPrint()->geometry().topLeft()),
                          testPrint()->size());
        return !grid->viewport()->rect().contains(row) || panel.intersects(row);
    };
    grid->setCurrentIndex(m_window->gridModel()->index(9, 1));
    openTestPrint();
    EXPECT_FALSE(hidden());
    grid->setCurrentIndex(m_window->gridModel()->index(30, 1));
    EXPECT_FALSE(hidden());
    EXPECT_EQ(m_state.currentRecord, 31);
}

} // namespace
} // namespace pelmar::gui
