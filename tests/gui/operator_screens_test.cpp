#include "shell/gui/operator_screens.h"

#include "common/run_error.h"
#include "gui/program_folder.h"
#include "gui/screens_fixture.h"
#include "print_command/recording_library.h"
#include "print_driver/recording_printer_page.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/password_panel.h"
#include "shell/gui/setup_panel.h"
#include "shell/gui/test_print_panel.h"
#include "shell/gui/twips.h"
#include "shell/gui/window_controller.h"
#include "state/settings.h"
#include "support/fake_clock.h"
#include "support/recording_message_box.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using namespace screens_test;

// ---- Layout of the three screens -------------------------------------------------------------

struct Placed {
    const char* name;
    const char* caption;
    QRectF twips;
};

void expectPlaced(const QWidget& panel, const std::vector<Placed>& controls) {
    for (const Placed& control : controls) {
        const auto* widget = panel.findChild<QWidget*>(QString::fromLatin1(control.name));
        ASSERT_NE(widget, nullptr) << control.name;
        EXPECT_EQ(widget->geometry(), toPixels(control.twips, widget)) << control.name;
        QString caption;
        if (const auto* label = qobject_cast<const QLabel*>(widget))
            caption = label->text();
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            caption = QString(button->text()).remove(u'\n');
        if (const auto* group = qobject_cast<const QGroupBox*>(widget))
            caption = group->title();
        EXPECT_EQ(caption, QString::fromUtf8(control.caption)) << control.name;
    }
}

TEST_F(ScreensFixture, ControlsOfTheThreeScreensAsDesigned) {
    start();
    expectPlaced(*gate(), {{"Label15", "請輸入密碼.", {630, 525, 1380, 330}},
                           {"txtPassword", "", {630, 840, 3270, 435}},
                           {"cmdPwOk", "確定(&O)", {630, 1575, 1275, 855}},
                           {"cmdPwCancel", "取消(&C)", {2625, 1575, 1275, 855}}});
    expectPlaced(*testPrint(), {{"Label2", "來源資料 :", {210, 315, 1170, 330}},
                                {"lblDataSourceName", "", {1470, 315, 5475, 540}},
                                {"Label3", "標籤格式 :", {210, 1050, 1170, 330}},
                                {"ListLabel", "", {1470, 1050, 3060, 1185}},
                                {"Label1", "試印張數 :", {210, 2415, 1170, 330}},
                                {"txtTestPrintQty", "", {1470, 2415, 1065, 330}},
                                {"Label17", "標準成本加減值 :", {3675, 2415, 1905, 225}},
                                {"txtADPrice1", "", {5670, 2415, 1275, 330}},
                                {"cmdSelDataSource", "選擇來源資料(&S)", {210, 2940, 1695, 855}},
                                {"cmdEditFormat", "格式修改(&F)", {1890, 2940, 1695, 855}},
                                {"cmdTestPrintOk", "試印(&T)", {3570, 2940, 1695, 855}},
                                {"cmdTestPrintCancel", "離開(&E)", {5250, 2940, 1695, 855}}});
    expectPlaced(*setup(), {{"Label10", "標籤排數 :", {105, 315, 1170, 330}},
                            {"txtLabelAcross", "", {105, 630, 750, 330}},
                            {"Label14", "列印模式 :", {1890, 315, 1170, 225}},
                            {"optPrintMode0", "Send Command", {1890, 630, 2010, 330}},
                            {"optPrintMode1", "Driver", {1890, 1050, 1065, 225}},
                            {"cmdSetupOk", "儲存(&S)", {3990, 210, 1275, 1065}},
                            {"cmdSetupCancel", "離開(&E)", {5250, 210, 1275, 1065}},
                            {"Label19", "來源文字檔 :", {120, 1150, 1455, 255}},
                            {"txtFileName", "", {120, 1440, 5775, 270}},
                            {"cmdBrowse", "---", {6000, 1440, 495, 270}},
                            {"Label5", "條碼機機型 :", {105, 1800, 1485, 330}},
                            {"cboPrinter", "", {1665, 1800, 4830, 345}},
                            {"Frame1", "欄位設定", {105, 2160, 6420, 3375}},
                            {"Frame2", "標籤設定", {105, 5640, 6420, 2430}}});
    expectPlaced(*fields(), {{"Label13", "分割方式 :", {105, 315, 1170, 225}},
                             {"optFieldCut0", "以符號", {1365, 315, 1065, 330}},
                             {"txtDelimiter", "", {2520, 315, 330, 330}},
                             {"optFieldCut1", "以欄位長度", {2940, 315, 1590, 330}},
                             {"Label8", "欄位數 :", {4935, 375, 960, 225}},
                             {"Label9", "欄位名稱 :", {105, 735, 1170, 330}},
                             {"txtFldName", "", {1365, 735, 1485, 330}},
                             {"Label6", "起始位置 :", {105, 1155, 1170, 330}},
                             {"txtStartPos", "", {1365, 1155, 750, 330}},
                             {"Label7", "欄位寬度 :", {105, 1575, 1170, 330}},
                             {"txtFldWidth", "", {1365, 1575, 750, 330}},
                             {"chkEraseSpace", "去字串右邊空白", {105, 1995, 2010, 225}},
                             {"chkEraseDecimal", "價格欄位去小數", {105, 2310, 2010, 225}},
                             {"chkEditPrice", "標準成本加減值", {105, 2625, 2010, 225}},
                             {"Label16", "標準成本所在欄位 :", {105, 2940, 2115, 330}},
                             {"txtEditPriceField", "", {2310, 2940, 540, 330}},
                             {"cmdFldNew", "新增>>>", {2940, 735, 540, 540}},
                             {"cmdFldUpdate", "更新---", {2940, 1365, 540, 540}},
                             {"cmdFldRemove", "移除<<<", {2940, 1995, 540, 540}},
                             {"fldList", "", {3570, 675, 2745, 2535}}});
    expectPlaced(*formats(), {{"Label4", "欲列印格式檔名 :", {105, 315, 1905, 330}},
                              {"fmtList", "", {105, 580, 2745, 1635}},
                              {"cmdNew", "新增<<<", {2940, 735, 540, 540}},
                              {"cmdRemove", "移除>>>", {2940, 1575, 540, 540}},
                              {"Label11", "來源格式檔名 :", {3570, 315, 1695, 330}},
                              {"FileList", "", {3570, 580, 2745, 1665}}});
    EXPECT_EQ(testPrint()->txtTestPrintQty()->maxLength(), 4);
    EXPECT_EQ(setup()->txtLabelAcross()->maxLength(), 1);
    EXPECT_EQ(fields()->txtFldName()->maxLength(), 8);
    EXPECT_EQ(fields()->txtStartPos()->maxLength(), 3);
    EXPECT_EQ(fields()->txtFldWidth()->maxLength(), 2);
    EXPECT_EQ(fields()->txtEditPriceField()->maxLength(), 2);
    EXPECT_EQ(gate()->txtPassword()->echoMode(), QLineEdit::Password);
}

TEST_F(ScreensFixture, TabOrders) {
    start();
    const auto expectChain = [](const QList<QWidget*>& order) {
        for (qsizetype i = 1; i < order.size(); ++i) {
            // Tab skips the parts of a control (the line edit of a drop-down list, the viewport
            // of a list) and whatever takes no focus (labels, groups).
            QWidget* next = order[i - 1]->nextInFocusChain();
            while (order[i - 1]->isAncestorOf(next) || !(next->focusPolicy() & Qt::TabFocus))
                next = next->nextInFocusChain();
            EXPECT_EQ(next, order[i])
                << order[i - 1]->objectName().toStdString() << " -> "
                << next->objectName().toStdString() << " " << next->metaObject()->className();
        }
    };
    expectChain({gate()->txtPassword(), gate()->cmdPwOk(), gate()->cmdPwCancel()});
    expectChain({testPrint()->txtTestPrintQty(), testPrint()->cmdTestPrintOk(),
                 testPrint()->cmdTestPrintCancel(), testPrint()->cmdSelDataSource(),
                 testPrint()->ListLabel(), testPrint()->cmdEditFormat(),
                 testPrint()->txtADPrice1()});
    expectChain(
        {setup()->cmdSetupOk(),       setup()->cmdSetupCancel(), setup()->cboPrinter(),
         setup()->txtLabelAcross(),   fields()->txtFldName(),    fields()->fldList(),
         fields()->txtStartPos(),     fields()->txtFldWidth(),   fields()->chkEraseSpace(),
         fields()->chkEraseDecimal(), fields()->cmdFldNew(),     fields()->cmdFldUpdate(),
         fields()->cmdFldRemove(),    formats()->fmtList(),      formats()->FileList(),
         formats()->cmdNew(),         formats()->cmdRemove(),    fields()->optFieldCut(0),
         fields()->optFieldCut(1),    setup()->optPrintMode(0),  setup()->optPrintMode(1),
         fields()->txtDelimiter(),    fields()->chkEditPrice(),  fields()->txtEditPriceField(),
         setup()->txtFileName(),      setup()->cmdBrowse()});
}

// ---- Password gate ---------------------------------------------------------------------------

TEST_F(ScreensFixture, WrongPasswordsAreSilentAndKeepTheGateOpen) {
    start();
    for (const char* typed : {"", " QJX", "QJX ", "QJ", "abc"}) {
        m_window->mnuTestPrint()->trigger();
        enterPassword(QString::fromUtf8(typed));
        EXPECT_TRUE(gate()->isVisible()) << typed;
        EXPECT_EQ(gate()->txtPassword()->text(), QString::fromUtf8(typed));
        EXPECT_EQ(gate()->txtPassword()->displayText(),
                  QString(gate()->txtPassword()->text().size(), u'*'));
        EXPECT_FALSE(testPrint()->isVisible());
        EXPECT_TRUE(menus(true, true, true));
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ScreensFixture, RightPasswordInAnyLetterCaseOpensTheChosenScreen) {
    start();
    for (const char* typed : {"QJX", "qjx", "QjX"}) {
        m_window->mnuTestPrint()->trigger();
        EXPECT_EQ(gate()->title(), QStringLiteral("[ 試印 ]"));
        EXPECT_EQ(m_state.passwordTarget, 1);
        enterPassword(QString::fromUtf8(typed));
        EXPECT_FALSE(gate()->isVisible()) << typed;
        EXPECT_TRUE(testPrint()->isVisible()) << typed;
        EXPECT_FALSE(gate()->hasButtonRoles());
        EXPECT_TRUE(menus(true, false, false));
        EXPECT_EQ(
            m_window->lblMsg()->text(),
            QStringLiteral("[選擇資料鈕-選擇來源文字檔] [試印鈕-測試列印] [離開鈕-離開試印]"));
        testPrint()->cmdTestPrintCancel()->click();
        EXPECT_FALSE(testPrint()->isVisible());
        EXPECT_TRUE(menus(true, true, true));
        EXPECT_EQ(m_window->lblMsg()->text(),
                  QStringLiteral("[試印-測試列印] [設定-設定來源檔案] [離開-結束執行]"));
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ScreensFixture, GateFollowsTheMenuChosenLastAndIsEmptiedAgain) {
    start();
    m_window->mnuTestPrint()->trigger();
    QTest::keyClicks(gate()->txtPassword(), QStringLiteral("QJ"));
    m_window->mnuSetup()->trigger();
    EXPECT_EQ(gate()->title(), QStringLiteral("[ 設定 ]"));
    EXPECT_TRUE(gate()->txtPassword()->text().isEmpty());
    enterPassword(QStringLiteral("QJX"));
    EXPECT_TRUE(setup()->isVisible());
    EXPECT_FALSE(testPrint()->isVisible());
    EXPECT_TRUE(menus(false, true, false));
}

TEST_F(ScreensFixture, EscapeClosesTheGateOverAnOpenScreenAndEnablesEveryMenu) {
    start();
    openSetup();
    m_window->mnuSetup()->trigger();
    EXPECT_TRUE(gate()->isVisible());
    QTest::keyClick(gate()->txtPassword(), Qt::Key_Escape);
    EXPECT_FALSE(gate()->isVisible());
    EXPECT_FALSE(gate()->hasButtonRoles());
    EXPECT_TRUE(setup()->isVisible());
    EXPECT_TRUE(menus(true, true, true));
}

// ---- Test-print screen -----------------------------------------------------------------------

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
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text,
              QStringLiteral("欲試印標籤格式檔尚未選擇無法試印, 請選擇."));
    EXPECT_EQ(m_messages.shown[0].caption, QStringLiteral("試印"));
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
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, QStringLiteral("欲試印張數尚未輸入無法試印, 請輸入張數."));
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
    EXPECT_EQ(m_starter.started, QStringList{QStringLiteral("/usr/bin/gedit ") +
                                             m_folder.file(QStringLiteral("PRICE.FMT"))});
}

// ---- Setup screen ----------------------------------------------------------------------------

TEST_F(ScreensFixture, SetupScreenFillsEveryControlFromTheWorkingState) {
    start({.labelCount = 2, .editPrice = 1, .printMode = 1});
    m_folder.write(QStringLiteral("extra.fmt"), "x");
    m_state.printerName = QStringLiteral("GONE PRINTER");
    openSetup();
    EXPECT_EQ(m_window->lblMsg()->text(), QStringLiteral("[儲存-儲存設定] [離開-離開設定]"));
    EXPECT_TRUE(menus(false, true, false));
    EXPECT_TRUE(setup()->optPrintMode(1)->isChecked());
    EXPECT_FALSE(setup()->cboPrinter()->isEnabled());
    // A printer name not among those found is still shown.
    EXPECT_EQ(setup()->cboPrinter()->currentText(), QStringLiteral("GONE PRINTER"));
    EXPECT_EQ(setup()->txtFileName()->text(), m_state.textFileName);
    EXPECT_EQ(setup()->txtLabelAcross()->text(), QStringLiteral("1"));
    EXPECT_TRUE(fields()->optFieldCut(0)->isChecked());
    EXPECT_FALSE(fields()->txtStartPos()->isEnabled());
    EXPECT_TRUE(fields()->txtDelimiter()->isEnabled());
    EXPECT_EQ(fields()->txtDelimiter()->text(), QStringLiteral(","));
    EXPECT_TRUE(fields()->chkEditPrice()->isChecked());
    EXPECT_TRUE(fields()->txtEditPriceField()->isEnabled());
    EXPECT_EQ(fields()->txtEditPriceField()->text(), QStringLiteral("3"));
    EXPECT_TRUE(fields()->chkEraseSpace()->isChecked());
    EXPECT_FALSE(fields()->chkEraseDecimal()->isChecked());
    EXPECT_EQ(texts(fields()->fldList()),
              (QStringList{QStringLiteral("條碼,1,13,1,0"), QStringLiteral("品名,1,20,1,0"),
                           QStringLiteral("售價,1,8,1,1"), QStringLiteral("數量,1,4,1,0")}));
    EXPECT_EQ(fields()->lblFldCount()->text(), QStringLiteral("4"));
    EXPECT_EQ(texts(formats()->fmtList()),
              (QStringList{QStringLiteral("PRICE.FMT"), QStringLiteral("SHELF.FMT")}));
    EXPECT_EQ(formats()->lblLabelCount()->text(), QStringLiteral("2"));
    EXPECT_EQ(texts(formats()->FileList()),
              (QStringList{QStringLiteral("PRICE.FMT"), QStringLiteral("SHELF.FMT"),
                           QStringLiteral("extra.fmt")}));
    EXPECT_TRUE(setup()->cmdSetupCancel()->hasFocus());
}

TEST_F(ScreensFixture, OptionsEnableTheirBoxes) {
    start();
    openSetup();
    QTest::mouseClick(setup()->optPrintMode(1), Qt::LeftButton);
    EXPECT_FALSE(setup()->cboPrinter()->isEnabled());
    QTest::mouseClick(setup()->optPrintMode(0), Qt::LeftButton);
    EXPECT_TRUE(setup()->cboPrinter()->isEnabled());
    QTest::mouseClick(fields()->optFieldCut(1), Qt::LeftButton);
    EXPECT_TRUE(fields()->txtStartPos()->isEnabled());
    EXPECT_FALSE(fields()->txtDelimiter()->isEnabled());
    EXPECT_TRUE(fields()->txtFldWidth()->isEnabled());
    EXPECT_EQ(m_state.fieldCutIndex, 0); // the click changes only the screen
    QTest::mouseClick(fields()->chkEditPrice(), Qt::LeftButton);
    EXPECT_TRUE(fields()->txtEditPriceField()->isEnabled());
    QTest::mouseClick(fields()->chkEditPrice(), Qt::LeftButton);
    EXPECT_FALSE(fields()->txtEditPriceField()->isEnabled());
}

TEST_F(ScreensFixture, PrinterIsChosenFromTheListNeverTyped) {
    start();
    openSetup();
    QComboBox* printers = setup()->cboPrinter();
    EXPECT_EQ(printers->currentText(), QStringLiteral("TSC TEST"));
    printers->setFocus();
    QTest::keyClicks(printers, QStringLiteral("XYZ"));
    EXPECT_EQ(printers->currentText(), QStringLiteral("TSC TEST"));
    EXPECT_EQ(printers->count(), 1);
}

TEST_F(ScreensFixture, OpeningTheSetupScreenTwiceShowsTheWorkingStateBothTimes) {
    start({.labelCount = 1});
    openSetup();
    retype(setup()->txtLabelAcross(), QStringLiteral("3"));
    fields()->txtFldName()->setText(QStringLiteral("NEW"));
    fields()->cmdFldNew()->click();
    clickEntry(formats()->FileList(), 1);
    formats()->cmdNew()->click();
    QTest::mouseClick(setup()->optPrintMode(1), Qt::LeftButton);
    EXPECT_EQ(fields()->fldList()->count(), 5);
    EXPECT_EQ(formats()->fmtList()->count(), 2);
    setup()->cmdSetupCancel()->click();
    EXPECT_FALSE(setup()->isVisible());
    EXPECT_TRUE(menus(true, true, true));
    EXPECT_EQ(m_window->lblMsg()->text(),
              QStringLiteral("[試印-測試列印] [設定-設定來源檔案] [離開-結束執行]"));

    openSetup();
    EXPECT_EQ(setup()->txtLabelAcross()->text(), QStringLiteral("1"));
    EXPECT_EQ(fields()->fldList()->count(), 4);
    EXPECT_EQ(fields()->lblFldCount()->text(), QStringLiteral("4"));
    EXPECT_TRUE(fields()->txtFldName()->text().isEmpty());
    EXPECT_EQ(texts(formats()->fmtList()), QStringList{QStringLiteral("PRICE.FMT")});
    EXPECT_TRUE(setup()->optPrintMode(0)->isChecked());
    EXPECT_TRUE(setup()->cboPrinter()->isEnabled());
    EXPECT_EQ(m_state.fieldCount, 4);
    EXPECT_EQ(m_state.selectedFieldIndex, 0);
}

TEST_F(ScreensFixture, FieldEditorAddsUpdatesAndRemoves) {
    start();
    openSetup();
    // Saved method: by delimiter; no name is the only refusal.
    fields()->cmdFldNew()->click();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, QStringLiteral("欄位名稱尚未輸入, 無法新增."));
    EXPECT_EQ(m_messages.shown[0].caption, QStringLiteral("新增欄位設定"));
    EXPECT_TRUE(fields()->txtFldName()->hasFocus());

    QTest::keyClicks(fields()->txtFldName(), QStringLiteral("CODE"));
    QTest::mouseClick(fields()->optFieldCut(1), Qt::LeftButton);
    QTest::keyClicks(fields()->txtStartPos(), QStringLiteral("7a"));
    QTest::keyClicks(fields()->txtFldWidth(), QStringLiteral("ab"));
    fields()->cmdFldNew()->click();
    EXPECT_EQ(fields()->fldList()->item(4)->text(), QStringLiteral("CODE,7,0,1,0"));
    EXPECT_EQ(fields()->lblFldCount()->text(), QStringLiteral("5"));
    EXPECT_EQ(fields()->txtFldName()->text(), QStringLiteral("CODE")); // the editor keeps it

    // Clicking an entry loads it; changing the width and updating replaces it in place.
    clickEntry(fields()->fldList(), 2);
    EXPECT_EQ(m_state.selectedFieldIndex, 3);
    EXPECT_EQ(fields()->txtFldName()->text(), QStringLiteral("售價"));
    EXPECT_EQ(fields()->txtStartPos()->text(), QStringLiteral("1"));
    EXPECT_EQ(fields()->txtFldWidth()->text(), QStringLiteral("8"));
    EXPECT_TRUE(fields()->chkEraseDecimal()->isChecked());
    retype(fields()->txtFldWidth(), QStringLiteral("12"));
    fields()->cmdFldUpdate()->click();
    EXPECT_EQ(fields()->fldList()->item(2)->text(), QStringLiteral("售價,1,12,1,1"));
    EXPECT_EQ(fields()->fldList()->count(), 5);

    fields()->txtFldName()->clear();
    fields()->cmdFldUpdate()->click();
    EXPECT_EQ(m_messages.shown.back().text, QStringLiteral("欄位名稱尚未輸入, 無法更新."));
    EXPECT_EQ(m_messages.shown.back().caption, QStringLiteral("更新欄位設定"));

    // Remove twice after one click.
    fields()->cmdFldRemove()->click();
    EXPECT_EQ(fields()->fldList()->count(), 4);
    EXPECT_EQ(fields()->lblFldCount()->text(), QStringLiteral("4"));
    EXPECT_EQ(m_state.selectedFieldIndex, 0);
    fields()->cmdFldRemove()->click();
    EXPECT_EQ(m_messages.shown.back().text, QStringLiteral("欲移除之欄位設定尚未點選, 無法移除."));
    EXPECT_EQ(m_messages.shown.back().caption, QStringLiteral("移除欄位設定"));
    EXPECT_TRUE(fields()->fldList()->hasFocus());
    EXPECT_EQ(fields()->fldList()->count(), 4);
}

TEST_F(ScreensFixture, FormatListsAddOnceExactlyAndRemoveAfterAClick) {
    start({.labelCount = 0});
    m_folder.write(QStringLiteral("price.fmt"), "x");
    openSetup();
    EXPECT_EQ(texts(formats()->FileList()),
              (QStringList{QStringLiteral("PRICE.FMT"), QStringLiteral("SHELF.FMT"),
                           QStringLiteral("price.fmt")}));
    formats()->cmdNew()->click();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, QStringLiteral("欲新增之格式檔尚未點選, 無法新增."));
    EXPECT_TRUE(formats()->FileList()->hasFocus());

    clickEntry(formats()->FileList(), 0);
    formats()->cmdNew()->click();
    formats()->cmdNew()->click();
    clickEntry(formats()->FileList(), 2);
    formats()->cmdNew()->click();
    EXPECT_EQ(texts(formats()->fmtList()),
              (QStringList{QStringLiteral("PRICE.FMT"), QStringLiteral("price.fmt")}));
    EXPECT_EQ(formats()->lblLabelCount()->text(), QStringLiteral("2"));
    EXPECT_EQ(m_messages.shown.size(), 1u);

    clickEntry(formats()->fmtList(), 0);
    formats()->cmdRemove()->click();
    formats()->cmdRemove()->click();
    EXPECT_EQ(texts(formats()->fmtList()), QStringList{QStringLiteral("price.fmt")});
    EXPECT_EQ(formats()->lblLabelCount()->text(), QStringLiteral("1"));
    EXPECT_EQ(m_messages.shown.back().text, QStringLiteral("欲移除之格式檔尚未選取, 無法移除."));
    EXPECT_EQ(m_messages.shown.back().caption, QStringLiteral("移除格式檔"));
    EXPECT_EQ(texts(formats()->FileList()).size(), 3); // nothing leaves the folder
}

TEST_F(ScreensFixture, RefusedSavesChangeNothing) {
    const struct {
        const char* what;
        void (*spoil)(ScreensFixture&);
        const char* message; // empty: refused without a message
        const char* focus;
    } cases[] = {
        {"no fields",
         [](ScreensFixture& f) {
             for (int i = 0; i < 4; ++i) {
                 f.clickEntry(f.fields()->fldList(), 0);
                 f.fields()->cmdFldRemove()->click();
             }
         },
         "欄位尚未定義, 無法儲存.", "txtFldName"},
        {"no formats",
         [](ScreensFixture& f) {
             f.clickEntry(f.formats()->fmtList(), 0);
             f.formats()->cmdRemove()->click();
         },
         "欲列印標籤格式檔尚未設定, 無法儲存.", "FileList"},
        {"no labels across", [](ScreensFixture& f) { f.setup()->txtLabelAcross()->clear(); }, "",
         "txtLabelAcross"},
        {"no delimiter", [](ScreensFixture& f) { f.fields()->txtDelimiter()->clear(); }, "",
         "txtDelimiter"},
    };
    for (const auto& c : cases) {
        m_controller.reset();
        m_window.reset();
        start({.labelCount = 1});
        const QByteArray before = settings();
        openSetup();
        c.spoil(*this);
        m_messages.shown.clear();
        setup()->cmdSetupOk()->click();
        const QString message = QString::fromUtf8(c.message);
        if (message.isEmpty()) {
            EXPECT_TRUE(m_messages.shown.empty()) << c.what;
        } else {
            ASSERT_EQ(m_messages.shown.size(), 1u) << c.what;
            EXPECT_EQ(m_messages.shown[0].text, message);
            EXPECT_EQ(m_messages.shown[0].caption, common::programTitle());
            EXPECT_EQ(m_messages.shown[0].icon, common::MessageIcon::None);
        }
        EXPECT_EQ(QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                              : QString(),
                  QString::fromLatin1(c.focus))
            << c.what;
        EXPECT_TRUE(setup()->isVisible()) << c.what;
        EXPECT_EQ(settings(), before) << c.what;
        EXPECT_EQ(m_state.fieldCount, 4) << c.what;
        EXPECT_EQ(m_state.labelCount, 1) << c.what;
    }
}

// Settings whose field count drops on saving: Field05 must stay in the file untouched.
const char* const kFiveFields = "[Files]\r\n"
                                "TextFileName=%1\r\n"
                                "LabelCount=1\r\n"
                                "LabelName01=PRICE.FMT\r\n"
                                "[Printer]\r\n"
                                "PrintMode=0\r\n"
                                "PrinterName=TSC TEST\r\n"
                                "[Label]\r\n"
                                "Across=1\r\n"
                                "[Fields]\r\n"
                                "FieldCutIndex=0\r\n"
                                "Delimiter=,\r\n"
                                "EditPrice=0\r\n"
                                "EditPriceField=3\r\n"
                                "ADPrice=0\r\n"
                                "FieldCount=5\r\n"
                                "Field01=A,1,13,1,0\r\n"
                                "Field02=B,1,20,1,0\r\n"
                                "Field03=C,1,8,1,1\r\n"
                                "Field04=D,1,4,1,0\r\n"
                                "Field05=E,1,4,1,0\r\n"
                                "[Ports]\r\n"
                                "TSC TEST=trace:%2\r\n";

TEST_F(ScreensFixture, SaveAnsweredNoChangesNothing) {
    start({.labelCount = 1});
    const QByteArray before = settings();
    openSetup();
    clickEntry(fields()->fldList(), 0);
    fields()->cmdFldRemove()->click();
    retype(setup()->txtLabelAcross(), QStringLiteral("2"));
    m_messages.fallback = MessageAnswer::No;
    setup()->cmdSetupOk()->click();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, QStringLiteral("你確定要更新設定嗎(Y/N)?"));
    EXPECT_EQ(m_messages.shown[0].caption, QStringLiteral("儲存設定"));
    EXPECT_EQ(m_messages.shown[0].buttons, common::MessageButtons::YesNo);
    EXPECT_EQ(m_messages.shown[0].defaultAnswer, MessageAnswer::No);
    EXPECT_EQ(settings(), before);
    EXPECT_EQ(m_state.fieldCount, 4);
    EXPECT_EQ(m_state.across, 1);
    EXPECT_TRUE(setup()->isVisible());
}

TEST_F(ScreensFixture, AcceptedSaveWritesTheFileAndRereadsTheData) {
    test::writeProgramFolder(m_folder, {.records = 3});
    const QString data = m_folder.file(QStringLiteral("ITEMS.TXT"));
    const QString trace = m_folder.file(QStringLiteral("trace.txt"));
    m_folder.write(QStringLiteral("Pelmar.INI"),
                   QString::fromLatin1(kFiveFields).arg(data, trace).toLatin1());
    m_folder.write(QStringLiteral("MY LABEL.FMT"), "LabelWidth=60\r\n");
    startWritten();
    openSetup();
    // Remove E (the fifth), add a field with a start of 999, choose the blank-named format,
    // and change the delimiter; the data file is read again with the new definitions.
    clickEntry(fields()->fldList(), 4);
    fields()->cmdFldRemove()->click();
    clickEntry(fields()->fldList(), 3);
    fields()->cmdFldRemove()->click();
    retype(fields()->txtFldName(), QStringLiteral("QTY"));
    QTest::mouseClick(fields()->optFieldCut(1), Qt::LeftButton);
    retype(fields()->txtStartPos(), QStringLiteral("999"));
    retype(fields()->txtFldWidth(), QStringLiteral("4"));
    QTest::mouseClick(fields()->optFieldCut(0), Qt::LeftButton);
    fields()->cmdFldNew()->click();
    clickEntry(formats()->FileList(), 0);
    formats()->cmdNew()->click();
    ASSERT_EQ(texts(formats()->fmtList()),
              (QStringList{QStringLiteral("PRICE.FMT"), QStringLiteral("MY LABEL.FMT")}));
    retype(setup()->txtLabelAcross(), QStringLiteral("2"));
    m_messages.fallback = MessageAnswer::Yes;
    setup()->cmdSetupOk()->click();

    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_FALSE(setup()->isVisible());
    EXPECT_TRUE(menus(true, true, true));
    EXPECT_EQ(m_window->lblMsg()->text(),
              QStringLiteral("[試印-測試列印] [設定-設定來源檔案] [離開-結束執行]"));
    EXPECT_EQ(m_window->lblPrintItem()->toolTip(), QStringLiteral("TSC TEST"));
    EXPECT_EQ(QString::fromLatin1(settings()), QStringLiteral("[Files]\r\n"
                                                              "TextFileName=%1\r\n"
                                                              "LabelCount=2\r\n"
                                                              "LabelName01=PRICE.FMT\r\n"
                                                              "LabelName02=MY LABEL.FMT\r\n"
                                                              "[Printer]\r\n"
                                                              "PrintMode=0\r\n"
                                                              "PrinterName=TSC TEST\r\n"
                                                              "[Label]\r\n"
                                                              "Across=2\r\n"
                                                              "[Fields]\r\n"
                                                              "FieldCutIndex=0\r\n"
                                                              "Delimiter=,\r\n"
                                                              "EditPrice=0\r\n"
                                                              "EditPriceField=3\r\n"
                                                              "ADPrice=0\r\n"
                                                              "FieldCount=4\r\n"
                                                              "Field01=A,1,13,1,0\r\n"
                                                              "Field02=B,1,20,1,0\r\n"
                                                              "Field03=C,1,8,1,1\r\n"
                                                              "Field04=QTY,999,4,1,0\r\n"
                                                              "Field05=E,1,4,1,0\r\n"
                                                              "[Ports]\r\n"
                                                              "TSC TEST=trace:%2\r\n")
                                                   .arg(data, trace));
    EXPECT_EQ(m_state.fieldCount, 4);
    EXPECT_EQ(m_state.field.at(4, 0), QStringLiteral("QTY"));
    EXPECT_EQ(m_state.across, 2);
    EXPECT_EQ(m_state.labelNames.at(2), QStringLiteral("MY LABEL.FMT"));
    EXPECT_EQ(m_window->gridModel()->rowCount(), 3);
    EXPECT_EQ(m_window->gridModel()->columnCount(), 5);

    // The next start reads what was saved, blanks inside the format name included.
    state::WorkingState reread;
    reread.programFolder = m_folder.path();
    state::LoadSettings(reread);
    EXPECT_EQ(reread.labelNames.at(2), QStringLiteral("MY LABEL.FMT"));
    EXPECT_EQ(reread.field.at(4, 1), QStringLiteral("999"));
}

TEST_F(ScreensFixture, BadInputNeverReachesTheSettingsFile) {
    start({.labelCount = 1});
    const QByteArray before = settings();
    openSetup();
    // A comma inside a field name would shift every later part of the definition.
    QTest::keyClicks(fields()->txtFldName(), QStringLiteral("A,B"));
    fields()->cmdFldNew()->click();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, QStringLiteral("欄位名稱不可含有逗號, 無法新增."));
    EXPECT_EQ(fields()->fldList()->count(), 4);
    // A double-byte delimiter does not fit the one byte the file keeps for it.
    fields()->txtDelimiter()->clear();
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("，"));
    QApplication::sendEvent(fields()->txtDelimiter(), &typed);
    EXPECT_TRUE(fields()->txtDelimiter()->text().isEmpty());
    fields()->txtDelimiter()->insert(QStringLiteral("，")); // pasted
    EXPECT_TRUE(fields()->txtDelimiter()->text().isEmpty());
    QTest::keyClicks(fields()->txtDelimiter(), QStringLiteral(";"));
    EXPECT_EQ(fields()->txtDelimiter()->text(), QStringLiteral(";"));
    EXPECT_EQ(settings(), before);
}

TEST_F(ScreensFixture, BrowsePutsTheChosenPathIntoTheBox) {
    start();
    openSetup();
    const QString before = setup()->txtFileName()->text();
    setup()->cmdBrowse()->click();
    EXPECT_EQ(setup()->txtFileName()->text(), before);
    m_fileDialog.answer = QStringLiteral("/data/other.txt");
    setup()->cmdBrowse()->click();
    EXPECT_EQ(setup()->txtFileName()->text(), QStringLiteral("/data/other.txt"));
    EXPECT_NE(m_state.textFileName, QStringLiteral("/data/other.txt"));
}

} // namespace
} // namespace pelmar::gui
