#include "shell/gui/setup_panel.h"

#include "gui/screens_fixture.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "state/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
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

TEST_F(ScreensFixture, ControlsOfTheSetupScreenAsDesigned) {
    start();
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
    EXPECT_EQ(setup()->txtLabelAcross()->maxLength(), 1);
}

TEST_F(ScreensFixture, TabOrderOfTheSetupScreen) {
    start();
    expectTabChain(
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
    ASSERT_TRUE(test::shownOnce(m_messages, QStringLiteral("你確定要更新設定嗎(Y/N)?"),
                                QStringLiteral("儲存設定")));
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
