#include "shell/gui/test_print_panel.h"

#include "gui/screens_fixture.h"
#include "shell/gui/format_editor_window.h"
#include "shell/gui/frm_pelmar_chi.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using namespace screens_test;

TEST_F(ScreensFixture, ControlsOfTheTestPrintScreenAsDesigned) {
    start();
    expectPlaced(*testPrint(), {{"Label2", "來源資料 :", {210, 315, 1170, 330}},
                                {"lblDataSourceName", "", {1470, 315, 5475, 540}},
                                {"Label3", "標籤格式 :", {210, 1050, 1170, 330}},
                                {"ListLabel", "", {1470, 1050, 3060, 1185}},
                                {"Label1", "試印張數(&Q):", {210, 2415, 1170, 330}},
                                {"txtTestPrintQty", "", {1470, 2415, 1065, 330}},
                                {"Label17", "標準成本加減值 :", {3675, 2415, 1905, 225}},
                                {"txtADPrice1", "", {5670, 2415, 1275, 330}},
                                {"cmdSelDataSource", "選擇來源資料(&S)", {210, 2940, 1695, 855}},
                                {"cmdEditFormat", "格式修改(&F)", {1890, 2940, 1695, 855}},
                                {"cmdTestPrintOk", "試印(&T)", {3570, 2940, 1695, 855}},
                                {"cmdTestPrintCancel", "離開(&E)", {5250, 2940, 1695, 855}}});
    EXPECT_EQ(testPrint()->txtTestPrintQty()->maxLength(), 4);
}

TEST_F(ScreensFixture, TabOrderOfTheTestPrintScreen) {
    start();
    expectTabChain({testPrint()->txtTestPrintQty(), testPrint()->cmdTestPrintOk(),
                    testPrint()->cmdTestPrintCancel(), testPrint()->cmdSelDataSource(),
                    testPrint()->ListLabel(), testPrint()->cmdEditFormat(),
                    testPrint()->txtADPrice1()});
}

TEST_F(ScreensFixture, TestPrintScreenFillsFromTheWorkingState) {
    start({.records = 5, .labelCount = 2, .editPrice = 1, .adPrice = -7});
    m_state.formatFileName = QStringLiteral("SHELF.FMT");
    openTestPrint();
    EXPECT_EQ(testPrint()->lblDataSourceName()->text(), m_folder.file(QStringLiteral("ITEMS.TXT")));
    EXPECT_EQ(texts(testPrint()->ListLabel()),
              (QStringList{QStringLiteral("PRICE.FMT"), QStringLiteral("SHELF.FMT")}));
    EXPECT_TRUE(testPrint()->cmdEditFormat()->isEnabled());
    EXPECT_TRUE(testPrint()->cmdTestPrintOk()->isEnabled());
    EXPECT_TRUE(testPrint()->txtADPrice1()->isEnabled());
    EXPECT_EQ(testPrint()->txtADPrice1()->text(), QStringLiteral("-7"));
    EXPECT_TRUE(testPrint()->txtTestPrintQty()->text().isEmpty());
    EXPECT_TRUE(testPrint()->txtTestPrintQty()->hasFocus());
    // The format chosen earlier is not reset by the opening.
    EXPECT_EQ(m_state.formatFileName, QStringLiteral("SHELF.FMT"));
}

TEST_F(ScreensFixture, TestPrintWithoutFormatsOrRecordsIsDisabled) {
    start({.records = 0, .labelCount = 0});
    openTestPrint();
    EXPECT_EQ(testPrint()->ListLabel()->count(), 0);
    EXPECT_FALSE(testPrint()->cmdEditFormat()->isEnabled());
    EXPECT_FALSE(testPrint()->cmdTestPrintOk()->isEnabled());
    EXPECT_FALSE(testPrint()->txtADPrice1()->isEnabled());
    QTest::keyClicks(testPrint()->txtTestPrintQty(), QStringLiteral("1"));
    QTest::mouseClick(testPrint()->cmdTestPrintOk(), Qt::LeftButton);
    EXPECT_TRUE(m_library.calls.isEmpty());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ScreensFixture, TestPrintInCommandModeWithOneFormatUsesIt) {
    start({.records = 3, .labelCount = 1});
    openTestPrint();
    // The only format's label of the chosen record shows before anything is printed.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !testPrint()->lblLabelPreview()->pixmap().isNull(); }));
    EXPECT_TRUE(m_library.calls.isEmpty());
    QTest::keyClicks(testPrint()->txtTestPrintQty(), QStringLiteral("2"));
    testPrint()->cmdTestPrintOk()->click();
    EXPECT_EQ(m_state.formatFileName, QStringLiteral("PRICE.FMT"));
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(m_library.named(QStringLiteral("openport")),
              QStringList{QStringLiteral("openport|TSC TEST")});
    EXPECT_EQ(m_library.named(QStringLiteral("printlabel")).size(), 1);
    EXPECT_EQ(m_library.calls.last(), QStringLiteral("closeport"));
    EXPECT_TRUE(testPrint()->isVisible());
}

TEST_F(ScreensFixture, TestPrintWithTwoFormatsNeedsAChoice) {
    start({.records = 3, .labelCount = 2});
    openTestPrint();
    QTest::keyClicks(testPrint()->txtTestPrintQty(), QStringLiteral("1"));
    testPrint()->cmdTestPrintOk()->click();
    ASSERT_TRUE(test::shownOnce(m_messages,
                                QStringLiteral("欲試印標籤格式檔尚未選擇無法試印, 請選擇."),
                                QStringLiteral("試印")));
    EXPECT_TRUE(testPrint()->ListLabel()->hasFocus());
    EXPECT_TRUE(m_library.calls.isEmpty());

    clickEntry(testPrint()->ListLabel(), 1);
    EXPECT_EQ(m_state.formatFileName, QStringLiteral("SHELF.FMT"));
    testPrint()->cmdTestPrintOk()->click();
    EXPECT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_library.named(QStringLiteral("printlabel")).size(), 1);
}

TEST_F(ScreensFixture, TestPrintWithAnEmptyQuantityBoxSaysSo) {
    start({.records = 3, .labelCount = 1});
    openTestPrint();
    testPrint()->cmdTestPrintOk()->click();
    ASSERT_TRUE(
        test::shownOnce(m_messages, QStringLiteral("欲試印張數尚未輸入無法試印, 請輸入張數.")));
    EXPECT_TRUE(testPrint()->txtTestPrintQty()->hasFocus());
    EXPECT_TRUE(m_library.calls.isEmpty());
}

TEST_F(ScreensFixture, TestPrintInDriverModeAsksForThePrinter) {
    start({.records = 3, .labelCount = 1, .printMode = 1});
    openTestPrint();
    QTest::keyClicks(testPrint()->txtTestPrintQty(), QStringLiteral("3"));
    testPrint()->cmdTestPrintOk()->click();
    EXPECT_EQ(m_printerDialog.titles, QStringList{QStringLiteral("選擇條碼機Driver")});
    ASSERT_EQ(m_pages.size(), 1u);
    EXPECT_EQ(m_pages[0].copies, 3);
    EXPECT_TRUE(m_library.calls.isEmpty());
}

TEST_F(ScreensFixture, QuantityAndPriceBoxesTakeDigitsOnly) {
    start({.labelCount = 1, .editPrice = 1, .adPrice = 5});
    openTestPrint();
    QTest::keyClicks(testPrint()->txtTestPrintQty(), QStringLiteral("1a-2.3456"));
    EXPECT_EQ(testPrint()->txtTestPrintQty()->text(), QStringLiteral("1234"));

    QLineEdit* price = testPrint()->txtADPrice1();
    retype(price, QStringLiteral("12x.-"));
    EXPECT_EQ(price->text(), QStringLiteral("12"));
    EXPECT_EQ(m_state.adPrice, 12);
    QTest::keyClick(price, Qt::Key_Backspace);
    QTest::keyClick(price, Qt::Key_Backspace);
    EXPECT_EQ(m_state.adPrice, 0); // an empty box is no adjustment
    // Beyond the 32-bit range the last digit is taken back: the box keeps what ADPrice holds.
    QTest::keyClicks(price, QStringLiteral("99999999999"));
    EXPECT_EQ(price->text(), QStringLiteral("999999999"));
    EXPECT_EQ(m_state.adPrice, 999999999);
}

TEST_F(ScreensFixture, DataFileDialogCancelledChangesNothing) {
    start({.records = 3, .labelCount = 1});
    openTestPrint();
    const QString before = m_state.textFileName;
    testPrint()->cmdSelDataSource()->click();
    EXPECT_EQ(m_fileDialog.titles, QStringList{QStringLiteral("選擇資料來源檔")});
    EXPECT_EQ(m_state.textFileName, before);
    EXPECT_EQ(testPrint()->lblDataSourceName()->text(), before);
    EXPECT_EQ(m_state.recordCount, 3);
    EXPECT_EQ(m_window->gridModel()->rowCount(), 3);
    EXPECT_TRUE(testPrint()->cmdTestPrintOk()->isEnabled());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ScreensFixture, DataFileChosenIsReadAndAVanishedOneDisablesTestPrint) {
    start({.records = 3, .labelCount = 1});
    openTestPrint();
    m_fileDialog.answer = m_folder.write(QStringLiteral("MORE.TXT"),
                                         "1,A,10,1\r\n2,B,20,1\r\n3,C,30,1\r\n4,D,40,1\r\n");
    testPrint()->cmdSelDataSource()->click();
    EXPECT_EQ(m_state.textFileName, m_fileDialog.answer);
    EXPECT_EQ(testPrint()->lblDataSourceName()->text(), m_fileDialog.answer);
    EXPECT_EQ(m_window->gridModel()->rowCount(), 4);
    EXPECT_EQ(m_window->lblPrintData()->text(), QStringLiteral("1,A,10,1"));

    m_fileDialog.answer = m_folder.file(QStringLiteral("GONE.TXT"));
    testPrint()->cmdSelDataSource()->click();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].icon, common::MessageIcon::Critical);
    EXPECT_EQ(m_state.recordCount, 0);
    EXPECT_EQ(m_window->gridModel()->rowCount(), 0);
    EXPECT_FALSE(testPrint()->cmdTestPrintOk()->isEnabled());
}

TEST_F(ScreensFixture, EditFormatStartsTheEditorOnTheFormatFile) {
    start({.labelCount = 1});
    openTestPrint();
    testPrint()->cmdEditFormat()->click();
    ASSERT_NE(screens().formatEditor(), nullptr);
    screens().formatEditor()->cmdOpenElsewhere()->click();
    EXPECT_EQ(m_starter.started, QStringList{QStringLiteral("/usr/bin/gedit ") +
                                             m_folder.file(QStringLiteral("PRICE.FMT"))});
}
} // namespace
} // namespace pelmar::gui
