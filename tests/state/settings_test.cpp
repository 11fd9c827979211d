#include "state/settings.h"

#include "support/comma_locale.h"
#include "support/run_error_of.h"
#include "support/temp_folder.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using pelmar::state::LoadSettings;
using pelmar::state::SaveRunSettings;
using pelmar::state::WorkingState;
using pelmar::test::big5;
using pelmar::test::runErrorOf;
using pelmar::test::TempFolder;

namespace {

WorkingState stateIn(const TempFolder& dir) {
    WorkingState state;
    state.programFolder = dir.path();
    return state;
}

QStringList fieldRow(const WorkingState& state, int row) {
    QStringList parts;
    for (int part = 0; part < 5; ++part)
        parts << state.field.at(row, part);
    return parts;
}

const QStringList kEmptyRow{{}, {}, {}, {}, {}};

TEST(LoadSettings, NoFileGivesEveryDefault) {
    TempFolder dir;
    WorkingState state = stateIn(dir);
    LoadSettings(state);
    EXPECT_EQ(state.textFileName, QString());
    EXPECT_EQ(state.labelCount, 0);
    EXPECT_EQ(state.labelNames.count(), 0);
    EXPECT_EQ(state.printMode, 0);
    EXPECT_EQ(state.printerName, QString());
    EXPECT_TRUE(state.driverPacing);
    EXPECT_EQ(state.across, 1);
    EXPECT_EQ(state.fieldCutIndex, 0);
    EXPECT_EQ(state.delimiter, QStringLiteral(","));
    EXPECT_EQ(state.editPrice, 0);
    EXPECT_EQ(state.editPriceField, 0);
    EXPECT_EQ(state.adPrice, 0);
    EXPECT_EQ(state.fieldCount, 4);
    EXPECT_EQ(state.field.rows(), 5);
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(fieldRow(state, row), kEmptyRow) << row;
    EXPECT_EQ(state.codePage.name(), "CP950");
    EXPECT_TRUE(state.ports.empty());
}

TEST(LoadSettings, ReadsTheCompleteExample) {
    TempFolder dir;
    dir.write(QStringLiteral("Pelmar.INI"), "[Files]\r\nTextFileName=C:\\DATA\\ITEMS.TXT\r\n"
                                            "LabelCount=2\r\nLabelName01=PRICE.FMT\r\n"
                                            "LabelName02=SHELF.FMT\r\n[Printer]\r\nPrintMode=1\r\n"
                                            "PrinterName=TSC BARCODE\r\nDriverPacing=0\r\n"
                                            "[Label]\r\nAcross=2\r\n"
                                            "[Fields]\r\nFieldCutIndex=1\r\nDelimiter=;\r\n"
                                            "EditPrice=1\r\nEditPriceField=2\r\nADPrice=-15\r\n"
                                            "FieldCount=3\r\nField01=ITEM,1,10,1,0\r\n"
                                            "Field02=PRICE,11,8,1,1\r\nField03=QTY,19,4,1,0\r\n");
    WorkingState state = stateIn(dir);
    LoadSettings(state);
    EXPECT_EQ(state.textFileName, QStringLiteral("C:\\DATA\\ITEMS.TXT"));
    EXPECT_EQ(state.labelCount, 2);
    EXPECT_EQ(state.labelNames.at(1), QStringLiteral("PRICE.FMT"));
    EXPECT_EQ(state.labelNames.at(2), QStringLiteral("SHELF.FMT"));
    EXPECT_EQ(state.printMode, 1);
    EXPECT_EQ(state.printerName, QStringLiteral("TSC BARCODE"));
    EXPECT_FALSE(state.driverPacing);
    EXPECT_EQ(state.across, 2);
    EXPECT_EQ(state.fieldCutIndex, 1);
    EXPECT_EQ(state.delimiter, QStringLiteral(";"));
    EXPECT_EQ(state.editPrice, 1);
    EXPECT_EQ(state.editPriceField, 2);
    EXPECT_EQ(state.adPrice, -15);
    EXPECT_EQ(state.fieldCount, 3);
    EXPECT_EQ(fieldRow(state, 2), (QStringList{"PRICE", "11", "8", "1", "1"}));
    EXPECT_EQ(fieldRow(state, 3), (QStringList{"QTY", "19", "4", "1", "0"}));
}

// The numbers of the file read alike under the desktop's locale and under a comma-decimal one.
class LoadSettingsUnderLocale : public pelmar::test::UnderEachLocale {};
PELMAR_UNDER_EACH_LOCALE(LoadSettingsUnderLocale);

TEST_P(LoadSettingsUnderLocale, EdgeCasesOfSingleKeys) {
    struct Case {
        const char* what;
        QByteArray file;
        std::function<void(const WorkingState&)> check;
    };
    const Case cases[] = {
        {"Across=12 is 1", "[Label]\r\nAcross=12\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.across, 1); }},
        {"Delimiter=;| is ;", "[Fields]\r\nDelimiter=;|\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.delimiter, QStringLiteral(";")); }},
        {"present empty Delimiter is empty", "[Fields]\r\nDelimiter=\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.delimiter, QString()); }},
        {"quoted blank Delimiter", "[Fields]\r\nDelimiter=\" \"\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.delimiter, QStringLiteral(" ")); }},
        {"LabelCount=123 is 12", "[Files]\r\nLabelCount=123\r\n",
         [](const WorkingState& s) {
             EXPECT_EQ(s.labelCount, 12);
             EXPECT_EQ(s.labelNames.count(), 12);
         }},
        {"LabelCount=3 with only LabelName01",
         "[Files]\r\nLabelCount=3\r\nLabelName01=A.FMT\r\nLabelName04=D.FMT\r\n",
         [](const WorkingState& s) {
             EXPECT_EQ(s.labelNames.count(), 3);
             EXPECT_EQ(s.labelNames.at(1), QStringLiteral("A.FMT"));
             EXPECT_EQ(s.labelNames.at(2), QString());
             EXPECT_EQ(s.labelNames.at(3), QString());
             EXPECT_EQ(s.labelNames.at(4), QString());
         }},
        {"LabelName10 has two digits", "[Files]\r\nLabelCount=10\r\nLabelName10=J.FMT\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.labelNames.at(10), QStringLiteral("J.FMT")); }},
        {"FieldCount=2 without Field02",
         "[Fields]\r\nFieldCount=2\r\nField01=NAME,1,10,1,0\r\nField03=X,1,1,1,1\r\n",
         [](const WorkingState& s) {
             EXPECT_EQ(s.fieldCount, 2);
             EXPECT_EQ(s.field.rows(), 3);
             EXPECT_EQ(fieldRow(s, 1), (QStringList{"NAME", "1", "10", "1", "0"}));
             EXPECT_EQ(fieldRow(s, 2), kEmptyRow);
         }},
        {"everything after the fourth comma is part 4", "[Fields]\r\nField01=NAME,1,10,1,0,9\r\n",
         [](const WorkingState& s) {
             EXPECT_EQ(fieldRow(s, 1), (QStringList{"NAME", "1", "10", "1", "0,9"}));
         }},
        {"FieldCount=0 keeps no rows", "[Fields]\r\nFieldCount=0\r\n",
         [](const WorkingState& s) {
             EXPECT_EQ(s.fieldCount, 0);
             EXPECT_EQ(s.field.rows(), 0);
         }},
        {"negative count reads no names", "[Files]\r\nLabelCount=-1\r\nLabelName01=A\r\n",
         [](const WorkingState& s) {
             EXPECT_EQ(s.labelCount, -1);
             EXPECT_EQ(s.labelNames.count(), 0);
         }},
        {"ADPrice=12.5 is 12", "[Fields]\r\nADPrice=12.5\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.adPrice, 12); }},
        {"ADPrice=13.5 is 14", "[Fields]\r\nADPrice=13.5\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.adPrice, 14); }},
        {"ADPrice=13,5 is 13: a comma ends the number", "[Fields]\r\nADPrice=13,5\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.adPrice, 13); }},
        {"ADPrice=-0.5 is 0", "[Fields]\r\nADPrice=-0.5\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.adPrice, 0); }},
        {"Across=2.7 is 2: the key holds one character", "[Label]\r\nAcross=2.7\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.across, 2); }},
        {"EditPriceField=3.5 is 3: the key holds two characters",
         "[Fields]\r\nEditPriceField=3.5\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.editPriceField, 3); }},
        {"ADPrice=-3", "[Fields]\r\nADPrice=-3\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.adPrice, -3); }},
        {"ADPrice=abc is 0", "[Fields]\r\nADPrice=abc\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.adPrice, 0); }},
        {"ADPrice at the 32-bit limit", "[Fields]\r\nADPrice=2147483647\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.adPrice, 2147483647); }},
        {"section and key names in any case", "[FIELDS]\r\nfieldcutindex=1\r\n",
         [](const WorkingState& s) { EXPECT_EQ(s.fieldCutIndex, 1); }},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        dir.write(QStringLiteral("Pelmar.INI"), c.file);
        WorkingState state = stateIn(dir);
        LoadSettings(state);
        SCOPED_TRACE(c.what);
        c.check(state);
    }
}

TEST(LoadSettings, FailureKeepsTheValuesReadBeforeIt) {
    struct Case {
        const char* what;
        QByteArray file;
        int error;
        QString inDescription;
        std::function<void(const WorkingState&)> check;
    };
    const Case cases[] = {
        {"field definition with two commas",
         "[Files]\r\nTextFileName=D.TXT\r\n[Fields]\r\nADPrice=7\r\nFieldCount=3\r\n"
         "Field01=NAME,1,10\r\nField02=B,1,1,1,1\r\n",
         5, QStringLiteral("Field01"),
         [](const WorkingState& s) {
             EXPECT_EQ(s.textFileName, QStringLiteral("D.TXT"));
             EXPECT_EQ(s.adPrice, 7);
             EXPECT_EQ(s.fieldCount, 3);
             EXPECT_EQ(fieldRow(s, 2), kEmptyRow);
         }},
        {"ADPrice beyond 32 bits",
         "[Fields]\r\nEditPriceField=3\r\nADPrice=2147483648\r\nFieldCount=2\r\n", 6, QString(),
         [](const WorkingState& s) {
             EXPECT_EQ(s.editPriceField, 3);
             EXPECT_EQ(s.fieldCount, 0);
             EXPECT_EQ(s.field.rows(), 0);
         }},
        {"UTF-8 file read as Big5",
         "[Files]\r\nTextFileName=" + QStringLiteral("/資料/商品.TXT").toUtf8() + "\r\n", 5,
         QStringLiteral("個位元組不是字碼頁 CP950 的有效字元, 這一行無法正確讀取.\r\r這個檔案是 "
                        "UTF-8 編碼: 若要以 UTF-8 讀取, 請在 Pelmar.INI 的 [Files] 設定 "
                        "CodePage=UTF-8."),
         [](const WorkingState& s) { EXPECT_EQ(s.textFileName, QString()); }},
        {"unknown code page", "[Files]\r\nCodePage=NO-SUCH-PAGE\r\nTextFileName=D.TXT\r\n", 5,
         QStringLiteral("NO-SUCH-PAGE"),
         [](const WorkingState& s) {
             EXPECT_EQ(s.textFileName, QString());
             EXPECT_EQ(s.codePage.name(), "CP950");
         }},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        dir.write(QStringLiteral("Pelmar.INI"), c.file);
        WorkingState state = stateIn(dir);
        SCOPED_TRACE(c.what);
        const auto error = runErrorOf([&] { LoadSettings(state); });
        ASSERT_TRUE(error) << "no error";
        EXPECT_EQ(error->number(), c.error);
        EXPECT_TRUE(error->description().contains(c.inDescription)) << error->what();
        c.check(state);
    }
}

TEST(LoadSettings, Big5ValuesAndCutsOnCharacterBoundaries) {
    TempFolder dir;
    const QString printer = QString(40, QChar(u'印'));
    dir.write(QStringLiteral("pelmar.ini"),
              "[Files]\r\nTextFileName=" + big5(QStringLiteral("/資料/商品.TXT")) +
                  "\r\n[Printer]\r\nPrinterName=" + big5(printer) +
                  "\r\n[Fields]\r\nField01=" + big5(QStringLiteral("品名,1,20,1,0")) + "\r\n");
    WorkingState state = stateIn(dir);
    LoadSettings(state);
    EXPECT_EQ(state.textFileName, QStringLiteral("/資料/商品.TXT"));
    // 63 bytes hold 31 characters of two bytes; the 32nd is not cut in half.
    EXPECT_EQ(state.printerName, QString(31, QChar(u'印')));
    EXPECT_EQ(state.field.at(1, 0), QStringLiteral("品名"));
}

TEST(LoadSettings, CodePageUtf8) {
    TempFolder dir;
    // A byte-order mark before the first section, kept when the file is written.
    const QString path = dir.write(QStringLiteral("Pelmar.INI"),
                                   "\xEF\xBB\xBF[Files]\nCodePage = UTF-8\nTextFileName=" +
                                       QStringLiteral("/資料/商品.TXT").toUtf8() + "\n[Ports]\n" +
                                       QStringLiteral("標籤機").toUtf8() + "=socket://10.0.0.9\n");
    WorkingState state = stateIn(dir);
    LoadSettings(state);
    EXPECT_EQ(state.codePage.name(), "UTF-8");
    EXPECT_EQ(state.textFileName, QStringLiteral("/資料/商品.TXT"));
    ASSERT_EQ(state.ports.size(), 1u);
    EXPECT_EQ(state.ports[0].first, QStringLiteral("標籤機"));
    SaveRunSettings(state);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("\xEF\xBB\xBF[Files]\n"));
}

TEST(LoadSettings, PortsInFileOrder) {
    TempFolder dir;
    dir.write(QStringLiteral("Pelmar.INI"),
              "[Ports]\r\nTSC Shelf = socket://192.168.1.20:9100\r\n; a comment\r\n"
              "TSC Office=/dev/usb/lp0\r\ntsc shelf=/dev/null\r\nTSC Empty=\r\n"
              "[Fields]\r\nOther=x\r\n[Ports]\r\nLate=/dev/null\r\n" +
                  big5(QStringLiteral("TSC 倉庫")) + "=preview:out\r\n");
    WorkingState state = stateIn(dir);
    LoadSettings(state);
    const std::vector<std::pair<QString, QString>> expected = {
        {QStringLiteral("TSC Shelf"), QStringLiteral("socket://192.168.1.20:9100")},
        {QStringLiteral("TSC Office"), QStringLiteral("/dev/usb/lp0")},
    };
    EXPECT_EQ(state.ports, expected);
}

TEST(SaveRunSettings, WritesFileNameAndAmountKeepingTheRest) {
    TempFolder dir;
    const QByteArray before =
        "; shop settings\r\n[Files]\r\nTextFileName=OLD.TXT\r\nLabelCount=1\r\n"
        "[Fields]\r\nFieldCount=1\r\nADPrice=5\r\nField01=A,1,1,1,1\r\n";
    dir.write(QStringLiteral("PELMAR.ini"), before);
    WorkingState state = stateIn(dir);
    LoadSettings(state);
    state.textFileName = QStringLiteral("/資料/新.TXT");
    state.adPrice = -3;
    SaveRunSettings(state);
    EXPECT_EQ(dir.read(QStringLiteral("PELMAR.ini")),
              "; shop settings\r\n[Files]\r\nTextFileName=" + big5(QStringLiteral("/資料/新.TXT")) +
                  "\r\nLabelCount=1\r\n[Fields]\r\nFieldCount=1\r\nADPrice=-3\r\n"
                  "Field01=A,1,1,1,1\r\n");
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("Pelmar.INI"))));

    WorkingState again = stateIn(dir);
    LoadSettings(again);
    EXPECT_EQ(again.textFileName, state.textFileName);
    EXPECT_EQ(again.adPrice, -3);
}

TEST(SaveRunSettings, NewFileGetsBothKeys) {
    TempFolder dir;
    WorkingState state = stateIn(dir);
    state.textFileName = QStringLiteral("A.TXT");
    state.adPrice = 120;
    SaveRunSettings(state);
    EXPECT_EQ(dir.read(QStringLiteral("Pelmar.INI")),
              "[Files]\r\nTextFileName=A.TXT\r\n[Fields]\r\nADPrice=120\r\n");
}

// A data path that the next start would read differently is never written: the file keeps the
// old one (the next start opens the file it opened before) and its amount, and the error names
// the key, the path and the reason.
TEST(SaveRunSettings, KeepsTheOldPathWhenTheNextStartWouldReadItDifferently) {
    const QString ascii127 = u'/' + QString(122, QChar(u'a')) + QStringLiteral(".TXT");
    const QString big5Of127 =
        QString(60, QChar(u'資')) + QStringLiteral("/DD.TXT"); // 120 + 7 bytes
    struct Case {
        const char* what;
        QString path;
        QString fault; // empty: written and read back whole
    };
    const Case cases[] = {
        {"127 bytes", ascii127, {}},
        {"127 bytes with double-byte characters", big5Of127, {}},
        {"blanks around it and quotes", QStringLiteral(" \"/data/x.txt\" "), {}},
        {"128 bytes", ascii127 + u'x', QStringLiteral("超過 127 位元組")},
        {"a double-byte character past byte 127", big5Of127 + QChar(u'資'),
         QStringLiteral("超過 127 位元組")},
        {"a 300-byte path", QString(300, QChar(u'p')), QStringLiteral("超過 127 位元組")},
        {"a character Big5 lacks", QStringLiteral("/data/\U0001F600.TXT"),
         QStringLiteral("含有無法存入設定檔的字元")},
        {"a line break", QStringLiteral("A.TXT\r\nPrintMode=1"),
         QStringLiteral("含有無法存入設定檔的字元")},
        {"a lone line feed", QStringLiteral("A\nB.TXT"),
         QStringLiteral("含有無法存入設定檔的字元")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir;
        dir.write(QStringLiteral("Pelmar.INI"),
                  "[Files]\r\nTextFileName=OLD.TXT\r\n[Fields]\r\nADPrice=5\r\n");
        WorkingState state = stateIn(dir);
        LoadSettings(state);
        state.textFileName = c.path;
        state.adPrice = -7;
        const auto error = runErrorOf([&] { SaveRunSettings(state); });
        EXPECT_EQ(error.has_value(), !c.fault.isEmpty()) << (error ? error->what() : "no error");
        if (error) {
            EXPECT_EQ(error->number(), 5);
            const QString& description = error->description();
            EXPECT_TRUE(description.contains(QStringLiteral("TextFileName「%1」").arg(c.path)))
                << error->what();
            EXPECT_TRUE(description.contains(c.fault)) << error->what();
            EXPECT_TRUE(description.contains(QStringLiteral("「OLD.TXT」"))) << error->what();
        }
        WorkingState next = stateIn(dir);
        LoadSettings(next);
        EXPECT_EQ(next.textFileName, c.fault.isEmpty() ? c.path : QStringLiteral("OLD.TXT"));
        EXPECT_EQ(next.adPrice, c.fault.isEmpty() ? -7 : 5);
    }
}

} // namespace
