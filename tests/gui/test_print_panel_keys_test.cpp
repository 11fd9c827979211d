#include "gui/screens_fixture.h"
#include "shell/gui/format_editor_window.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using namespace screens_test;

// The test-print screen over two formats that differ in their label width (PRICE.FMT 60 mm,
// SHELF.FMT 80 mm), so the printer's set-up call tells which one printed.
class TestPrintKeys : public ScreensFixture {
protected:
    void SetUp() override {
        test::writeProgramFolder(m_folder, {.records = 5, .labelCount = 2});
        QByteArray shelf = m_folder.read(QStringLiteral("SHELF.FMT"));
        shelf.replace("LabelWidth=60", "LabelWidth=80");
        m_folder.write(QStringLiteral("SHELF.FMT"), shelf);
        startWritten();
        activate();
        openTestPrint();
    }

    // The label width of each label set up since the last call.
    QStringList printedWidths() {
        QStringList widths;
        for (const QString& call : m_library.named(QStringLiteral("setup")))
            widths << call.section(u'|', 1, 1);
        m_library.calls.clear();
        return widths;
    }
};

TEST_F(TestPrintKeys, ArrowKeysChooseTheFormatThatPrints) {
    QTest::keyClicks(testPrint()->txtTestPrintQty(), QStringLiteral("1"));
    testPrint()->ListLabel()->setFocus();
    press(Qt::Key_Down);
    EXPECT_EQ(m_state.formatFileName, QStringLiteral("PRICE.FMT"));
    press(Qt::Key_Down);
    EXPECT_EQ(testPrint()->ListLabel()->currentItem()->text(), QStringLiteral("SHELF.FMT"));
    EXPECT_EQ(m_state.formatFileName, QStringLiteral("SHELF.FMT"));
    pressAlt(Qt::Key_T);
    EXPECT_EQ(printedWidths(), QStringList{QStringLiteral("80")});

    press(Qt::Key_Home);
    EXPECT_EQ(m_state.formatFileName, QStringLiteral("PRICE.FMT"));
    testPrint()->cmdTestPrintOk()->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(printedWidths(), QStringList{QStringLiteral("60")});
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_FALSE(gate()->isVisible());
}

TEST_F(TestPrintKeys, ArrowKeysInTheGridChooseTheRecordThatPrints) {
    m_window->MSFlexGrid1()->setFocus();
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(m_state.currentRecord, 3);
    EXPECT_TRUE(m_window->lblPrintData()->text().startsWith(QStringLiteral("4710000000003,")));
    clickEntry(testPrint()->ListLabel(), 0);
    QTest::keyClicks(testPrint()->txtTestPrintQty(), QStringLiteral("1"));
    pressAlt(Qt::Key_T);
    const QStringList texts = m_library.named(QStringLiteral("windowsfont"));
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].endsWith(QStringLiteral("|豆漿3"))) << texts[0].toStdString();
    EXPECT_EQ(m_window->lblMsg()->text(), QStringLiteral("已試印 1 張: TSC TEST"));
}

TEST_F(TestPrintKeys, TypingInTheGridNeverChoosesAnotherRecordAndTabLeavesIt) {
    QTableView* grid = m_window->MSFlexGrid1();
    grid->setFocus();
    press(Qt::Key_Down);
    QTest::keyClicks(grid, QStringLiteral("12 oolong"));
    EXPECT_EQ(m_state.currentRecord, 2);
    press(Qt::Key_Tab);
    EXPECT_EQ(m_window->focusWidget(), testPrint()->txtTestPrintQty());
    grid->setFocus();
    press(Qt::Key_Backtab);
    EXPECT_NE(m_window->focusWidget(), grid);
    grid->setFocus();
    pressAlt(Qt::Key_Q);
    EXPECT_EQ(m_window->focusWidget(), testPrint()->txtTestPrintQty());
    EXPECT_EQ(m_state.currentRecord, 2);
}

TEST_F(TestPrintKeys, AccessKeysPressTheScreensButtonsNotTheMenus) {
    // 選擇來源資料(&S) opens the file dialog, though the setup menu has the same letter.
    pressAlt(Qt::Key_S);
    EXPECT_EQ(m_fileDialog.titles, QStringList{QStringLiteral("選擇資料來源檔")});
    EXPECT_FALSE(gate()->isVisible());
    // 格式修改(&F) starts the editor on the chosen format.
    clickEntry(testPrint()->ListLabel(), 1);
    pressAlt(Qt::Key_F);
    ASSERT_NE(screens().formatEditor(), nullptr);
    screens().formatEditor()->cmdOpenElsewhere()->click();
    ASSERT_EQ(m_starter.started.size(), 1);
    EXPECT_TRUE(m_starter.started[0].endsWith(QStringLiteral("SHELF.FMT")));
    // 離開(&E) leaves the screen, though the exit menu of the same letter is disabled.
    pressAlt(Qt::Key_E);
    EXPECT_FALSE(testPrint()->isVisible());
    EXPECT_TRUE(menus(true, true, true));
    EXPECT_FALSE(gate()->isVisible());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(TestPrintKeys, EnterPressesTheFocusedButton) {
    testPrint()->cmdTestPrintCancel()->setFocus();
    press(Qt::Key_Return);
    EXPECT_FALSE(testPrint()->isVisible());
    EXPECT_TRUE(m_library.calls.isEmpty());
}

TEST_F(TestPrintKeys, TheAccessKeyOfADisabledButtonDoesNothing) {
    m_window->mnuTestPrint()->trigger();
    press(Qt::Key_Escape);
    testPrint()->cmdTestPrintOk()->setEnabled(false);
    pressAlt(Qt::Key_T);
    EXPECT_FALSE(gate()->isVisible());
    EXPECT_TRUE(m_library.calls.isEmpty());
    EXPECT_TRUE(testPrint()->isVisible());
}

} // namespace
} // namespace pelmar::gui
