#include "state/setup_save.h"

#include "state/settings.h"
#include "support/recording_message_box.h"
#include "support/run_error_of.h"
#include "support/temp_folder.h"

#include <functional>
#include <gtest/gtest.h>

using pelmar::common::MessageAnswer;
using pelmar::common::MessageButtons;
using pelmar::common::MessageIcon;
using pelmar::common::programTitle;
using pelmar::state::LoadSettings;
using pelmar::state::saveSetup;
using pelmar::state::SetupFocus;
using pelmar::state::SetupScreenValues;
using pelmar::state::WorkingState;
using pelmar::test::big5;
using pelmar::test::RecordingMessageBox;
using pelmar::test::TempFolder;

namespace {

const QByteArray kOldFile = "; kept\r\n[Files]\r\nTextFileName=OLD.TXT\r\nLabelCount=1\r\n"
                            "LabelName01=OLD.FMT\r\n[Printer]\r\nPrintMode=0\r\n"
                            "PrinterName=TSC OLD\r\n[Label]\r\nAcross=1\r\n[Fields]\r\n"
                            "FieldCutIndex=0\r\nDelimiter=;\r\nEditPrice=0\r\nEditPriceField=0\r\n"
                            "ADPrice=9\r\nFieldCount=5\r\nField01=A,1,1,1,1\r\n"
                            "Field02=B,2,2,0,0\r\nField03=C,3,3,1,0\r\nField04=D,4,4,0,1\r\n"
                            "Field05=E,5,5,1,1\r\n";

SetupScreenValues screenValues() {
    SetupScreenValues screen;
    screen.fldList = {QStringLiteral("品名,1,20,1,0"), QStringLiteral("PRICE,21,8,1,1"),
                      QStringLiteral("QTY,29,4,1,0")};
    screen.fmtList = {QStringLiteral("PRICE.FMT"), QStringLiteral("SHELF.FMT")};
    screen.optPrintMode = 1;
    screen.cboPrinter = QStringLiteral("TSC TTP-244");
    screen.txtLabelAcross = QStringLiteral("2");
    screen.optFieldCut = 0;
    screen.txtDelimiter = QStringLiteral("|");
    screen.chkEditPrice = 1;
    screen.txtEditPriceField = QStringLiteral("2");
    screen.txtFileName = QStringLiteral("/資料/ITEMS.TXT");
    return screen;
}

// Every setting of the state as text, to see that nothing changed.
QStringList settingsOf(const WorkingState& s) {
    QStringList all{s.textFileName,
                    QString::number(s.labelCount),
                    QString::number(s.printMode),
                    s.printerName,
                    QString::number(s.across),
                    QString::number(s.fieldCutIndex),
                    s.delimiter,
                    QString::number(s.editPrice),
                    QString::number(s.editPriceField),
                    QString::number(s.adPrice),
                    QString::number(s.fieldCount)};
    for (int i = 0; i <= s.labelNames.count(); ++i)
        all << s.labelNames.at(i);
    for (int row = 0; row < s.field.rows(); ++row)
        for (int part = 0; part < 5; ++part)
            all << s.field.at(row, part);
    return all;
}

struct Fixture {
    TempFolder dir;
    WorkingState state;
    RecordingMessageBox messages;

    explicit Fixture(const QByteArray& file = kOldFile) {
        if (!file.isNull())
            dir.write(QStringLiteral("Pelmar.INI"), file);
        state.programFolder = dir.path();
        LoadSettings(state);
    }
    QByteArray file() const { return dir.read(QStringLiteral("Pelmar.INI")); }
};

TEST(SaveSetup, RefusedChecksChangeNothing) {
    struct Case {
        const char* what;
        std::function<void(SetupScreenValues&)> edit;
        QString message; // empty: no message
        SetupFocus focus;
    };
    const Case cases[] = {
        {"no field", [](SetupScreenValues& s) { s.fldList.clear(); },
         QStringLiteral("欄位尚未定義, 無法儲存."), SetupFocus::TxtFldName},
        {"no field and no format comes first",
         [](SetupScreenValues& s) {
             s.fldList.clear();
             s.fmtList.clear();
         },
         QStringLiteral("欄位尚未定義, 無法儲存."), SetupFocus::TxtFldName},
        {"no format", [](SetupScreenValues& s) { s.fmtList.clear(); },
         QStringLiteral("欲列印標籤格式檔尚未設定, 無法儲存."), SetupFocus::FileList},
        {"no labels across", [](SetupScreenValues& s) { s.txtLabelAcross.clear(); }, QString(),
         SetupFocus::TxtLabelAcross},
        {"no delimiter when cutting at one", [](SetupScreenValues& s) { s.txtDelimiter.clear(); },
         QString(), SetupFocus::TxtDelimiter},
        {"double-byte delimiter",
         [](SetupScreenValues& s) { s.txtDelimiter = QStringLiteral("中"); },
         QStringLiteral("分隔符號「中」不是單一位元組的字元, 無法切割資料, 無法儲存."),
         SetupFocus::TxtDelimiter},
        {"delimiter of two characters",
         [](SetupScreenValues& s) { s.txtDelimiter = QStringLiteral(";|"); },
         QStringLiteral("分隔符號「;|」不是單一位元組的字元, 無法切割資料, 無法儲存."),
         SetupFocus::TxtDelimiter},
        {"field with three commas",
         [](SetupScreenValues& s) { s.fldList[1] = QStringLiteral("PRICE,21,8,1"); },
         QStringLiteral("欄位定義「PRICE,21,8,1」少於四個逗號, 無法儲存."), SetupFocus::FldList},
        {"field longer than its read buffer",
         [](SetupScreenValues& s) { s.fldList[0] = QString(28, QChar(u'名')) + ",1,20,1,0"; },
         QStringLiteral("欄位定義「%1,1,20,1,0」超過 63 位元組, 無法儲存.")
             .arg(QString(28, QChar(u'名'))),
         SetupFocus::FldList},
        {"100 fields",
         [](SetupScreenValues& s) {
             while (s.fldList.size() < 100)
                 s.fldList << QStringLiteral("X,1,1,1,1");
         },
         QStringLiteral("欄位定義最多 99 個, 無法儲存."), SetupFocus::FldList},
        {"printer name outside the code page",
         [](SetupScreenValues& s) { s.cboPrinter = QStringLiteral("TSC \U0001F600"); },
         QStringLiteral("「TSC \U0001F600」含有無法存入設定檔的字元, 無法儲存."),
         SetupFocus::CboPrinter},
        {"file name of 64 double-byte characters, 128 bytes",
         [](SetupScreenValues& s) { s.txtFileName = QString(64, QChar(u'資')); },
         QStringLiteral("「%1」超過 127 位元組, 無法儲存.").arg(QString(64, QChar(u'資'))),
         SetupFocus::TxtFileName},
        {"format name of 128 bytes",
         [](SetupScreenValues& s) { s.fmtList << QString(124, QChar(u'F')) + ".FMT"; },
         QStringLiteral("「%1.FMT」超過 127 位元組, 無法儲存.").arg(QString(124, QChar(u'F'))),
         SetupFocus::FmtList},
        {"printer name of 64 bytes",
         [](SetupScreenValues& s) { s.cboPrinter = QString(64, QChar(u'P')); },
         QStringLiteral("「%1」超過 63 位元組, 無法儲存.").arg(QString(64, QChar(u'P'))),
         SetupFocus::CboPrinter},
        {"file name with a line break",
         [](SetupScreenValues& s) { s.txtFileName = QStringLiteral("A.TXT\r\nPrintMode=1"); },
         QStringLiteral("「A.TXT\r\nPrintMode=1」含有無法存入設定檔的字元, 無法儲存."),
         SetupFocus::TxtFileName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        const QStringList before = settingsOf(f.state);
        SetupScreenValues screen = screenValues();
        c.edit(screen);
        const auto result = saveSetup(f.state, screen, f.messages);
        EXPECT_FALSE(result.saved);
        EXPECT_EQ(result.focus, c.focus);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(f.messages.shown.empty());
        } else {
            ASSERT_TRUE(
                pelmar::test::shownOnce(f.messages, c.message, programTitle(), MessageIcon::None));
            EXPECT_EQ(f.messages.shown[0].buttons, MessageButtons::Ok);
        }
        EXPECT_EQ(settingsOf(f.state), before);
        EXPECT_EQ(f.file(), kOldFile);
    }
}

TEST(SaveSetup, AnythingButYesChangesNothing) {
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Ok}) {
        Fixture f;
        const QStringList before = settingsOf(f.state);
        f.messages.answers = {answer};
        const auto result = saveSetup(f.state, screenValues(), f.messages);
        EXPECT_FALSE(result.saved);
        EXPECT_EQ(result.focus, SetupFocus::None);
        ASSERT_EQ(f.messages.shown.size(), 1u);
        const auto& question = f.messages.shown[0];
        EXPECT_EQ(question.text, QStringLiteral("你確定要更新設定嗎(Y/N)?"));
        EXPECT_EQ(question.caption, QStringLiteral("儲存設定"));
        EXPECT_EQ(question.icon, MessageIcon::Question);
        EXPECT_EQ(question.buttons, MessageButtons::YesNo);
        EXPECT_EQ(question.defaultAnswer, MessageAnswer::No);
        EXPECT_EQ(settingsOf(f.state), before);
        EXPECT_EQ(f.file(), kOldFile);
    }
}

TEST(SaveSetup, WritesEveryKeyInOrderIntoANewFile) {
    Fixture f(QByteArray{});
    f.messages.answers = {MessageAnswer::Yes};
    const auto result = saveSetup(f.state, screenValues(), f.messages);
    EXPECT_TRUE(result.saved);
    EXPECT_EQ(result.printerToolTip, QStringLiteral("TSC TTP-244"));
    EXPECT_EQ(f.file(), "[Printer]\r\nPrintMode=1\r\nPrinterName=TSC TTP-244\r\n"
                        "[Label]\r\nAcross=2\r\n"
                        "[Fields]\r\nFieldCutIndex=0\r\nDelimiter=|\r\nEditPrice=1\r\n"
                        "EditPriceField=2\r\nFieldCount=3\r\nField01=" +
                            big5(QStringLiteral("品名,1,20,1,0")) +
                            "\r\nField02=PRICE,21,8,1,1\r\nField03=QTY,29,4,1,0\r\n"
                            "[Files]\r\nTextFileName=" +
                            big5(QStringLiteral("/資料/ITEMS.TXT")) +
                            "\r\nLabelCount=2\r\nLabelName01=PRICE.FMT\r\n"
                            "LabelName02=SHELF.FMT\r\n");
}

TEST(SaveSetup, UpdatesTheStateAsTheFileReadsBack) {
    Fixture f;
    f.messages.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(saveSetup(f.state, screenValues(), f.messages).saved);
    EXPECT_EQ(f.state.fieldCount, 3);
    EXPECT_EQ(f.state.labelCount, 2);
    EXPECT_EQ(f.state.printMode, 1);
    EXPECT_EQ(f.state.printerName, QStringLiteral("TSC TTP-244"));
    EXPECT_EQ(f.state.across, 2);
    EXPECT_EQ(f.state.delimiter, QStringLiteral("|"));
    EXPECT_EQ(f.state.editPrice, 1);
    EXPECT_EQ(f.state.editPriceField, 2);
    EXPECT_EQ(f.state.adPrice, 9);
    EXPECT_EQ(f.state.field.rows(), 4);
    EXPECT_EQ(f.state.field.at(1, 0), QStringLiteral("品名"));
    EXPECT_EQ(f.state.field.at(3, 2), QStringLiteral("4"));
    EXPECT_EQ(f.state.labelNames.at(2), QStringLiteral("SHELF.FMT"));
    EXPECT_EQ(f.state.textFileName, QStringLiteral("/資料/ITEMS.TXT"));

    // Field04 and Field05 of the larger count stay in the file and are not read.
    const QByteArray file = f.file();
    EXPECT_TRUE(file.startsWith("; kept\r\n[Files]\r\nTextFileName="));
    EXPECT_TRUE(file.contains("Field04=D,4,4,0,1\r\nField05=E,5,5,1,1\r\n"));
    EXPECT_TRUE(file.contains("ADPrice=9\r\n"));
    WorkingState reread;
    reread.programFolder = f.dir.path();
    LoadSettings(reread);
    EXPECT_EQ(settingsOf(reread), settingsOf(f.state));
}

TEST(SaveSetup, FixedPositionsKeepTheDelimiterAndNumbersTakeTheirLeadingValue) {
    Fixture f;
    SetupScreenValues screen = screenValues();
    screen.optFieldCut = 1;
    screen.txtDelimiter.clear(); // not checked when cutting by positions
    screen.txtLabelAcross = QStringLiteral("3x");
    screen.txtEditPriceField.clear();
    screen.optPrintMode = 0;
    f.messages.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(saveSetup(f.state, screen, f.messages).saved);
    EXPECT_EQ(f.state.fieldCutIndex, 1);
    EXPECT_EQ(f.state.delimiter, QStringLiteral(";"));
    EXPECT_EQ(f.state.across, 3);
    EXPECT_EQ(f.state.editPriceField, 0);
    EXPECT_EQ(f.state.printMode, 0);
    const QByteArray file = f.file();
    EXPECT_TRUE(file.contains("FieldCutIndex=1\r\nDelimiter=;\r\n"));
    EXPECT_TRUE(file.contains("Across=3\r\n"));
}

TEST(SaveSetup, BlankDelimiterSurvivesTheNextStart) {
    Fixture f;
    SetupScreenValues screen = screenValues();
    screen.txtDelimiter = QStringLiteral(" ");
    f.messages.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(saveSetup(f.state, screen, f.messages).saved);
    WorkingState reread;
    reread.programFolder = f.dir.path();
    LoadSettings(reread);
    EXPECT_EQ(reread.delimiter, QStringLiteral(" "));
}

TEST(SaveSetup, OverflowChangesNothing) {
    Fixture f;
    const QStringList before = settingsOf(f.state);
    SetupScreenValues screen = screenValues();
    screen.txtEditPriceField = QStringLiteral("99999");
    f.messages.answers = {MessageAnswer::Yes};
    EXPECT_EQ(pelmar::test::runErrorNumberOf([&] { saveSetup(f.state, screen, f.messages); }), 6);
    EXPECT_EQ(settingsOf(f.state), before);
    EXPECT_EQ(f.file(), kOldFile);
}

} // namespace
