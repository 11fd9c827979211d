#include "data/data_file_reader.h"

#include "common/run_error.h"
#include "support/recording_message_box.h"
#include "support/temp_folder.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace pelmar;
using pelmar::test::big5;
using pelmar::test::RecordingMessageBox;
using pelmar::test::TempFolder;

namespace {

const QString kFfd = QString(QChar(0xFFFD));

void setFields(state::WorkingState& state, const QStringList& definitions) {
    state.fieldCount = static_cast<std::int16_t>(definitions.size());
    state.field.recreate(static_cast<int>(definitions.size()) + 1, 5);
    for (int i = 0; i < definitions.size(); ++i) {
        const QStringList parts = definitions[i].split(u',');
        for (int p = 0; p < parts.size() && p < 5; ++p)
            state.field.set(i + 1, p, parts[p]);
    }
}

// Rows 1..recordCount of the records, each as its fields 1..fieldCount.
QList<QStringList> rowsOf(const state::WorkingState& state) {
    QList<QStringList> rows;
    for (int r = 1; r <= state.recordCount; ++r) {
        QStringList row;
        for (int j = 1; j <= state.fieldCount; ++j)
            row << state.records.at(r, j);
        rows << row;
    }
    return rows;
}

std::string show(const QList<QStringList>& rows) {
    QStringList lines;
    for (const auto& row : rows)
        lines << u'[' + row.join(u'|') + u']';
    // Replacement characters and line feeds made visible for failure output.
    return lines.join(u' ')
        .replace(QChar(0xFFFD), QStringLiteral("<?>"))
        .replace(u'\n', QStringLiteral("<LF>"))
        .toStdString();
}

struct Case {
    const char* name;
    QStringList definitions; // NAME,start,width,blanks,decimals
    QString delimiter;       // empty text: fixed mode
    QByteArray file;
    QList<QStringList> rows; // expected rows 1..recordCount (none after a failure)
    int error = 0;           // expected error number, 0 = none
    QString said = {};       // part of the expected message
    const char* codePage = "CP950";
};

struct Outcome {
    data::DataReadResult result;
    state::WorkingState state;
    RecordingMessageBox messages;
};

void run(const Case& c, Outcome& out) {
    TempFolder dir;
    out.state.codePage = common::CodePage(c.codePage);
    out.state.commandLine = QStringLiteral("/T");
    out.state.textFileName = dir.write(QStringLiteral("data.txt"), c.file);
    setFields(out.state, c.definitions);
    if (c.delimiter.startsWith(QStringLiteral("<fixed"))) {
        out.state.fieldCutIndex = 1;
        out.state.delimiter = c.delimiter == QStringLiteral("<fixed>") ? QStringLiteral(",") : "";
    } else {
        out.state.delimiter = c.delimiter;
    }
    out.result = data::LoadDataFile(out.state, out.messages);
}

const QStringList kExample = {"NAME,0,6,1,0", "PRICE,0,0,0,1", "QTY,0,0,0,0"};

// The worked example's fields and delimiter after an earlier read of two records, the first
// starting with OLD: what a read that takes nothing must leave in place.
state::WorkingState afterAnEarlierRead() {
    state::WorkingState state;
    setFields(state, kExample);
    state.delimiter = QStringLiteral(",");
    state.records.recreate(3, 4);
    state.records.set(1, 1, QStringLiteral("OLD"));
    state.recordCount = 2;
    return state;
}

const Case kCases[] = {
    // 0: the worked example, last line A,1,2 gives two delimited fields
    {"WorkedExample",
     kExample,
     ",",
     "COFFEE BEANS,1234.50,3\r\nMILK,45,\r\nA,1,2",
     {{"COFFEE", "1234", "3"}, {"MILK", "45", "1"}, {"A", "1", "2"}}},
    // 1: TEA,99 lacks the second delimiter; a failed read leaves no record to print
    {"WorkedExampleTeaFails",
     kExample,
     ",",
     "COFFEE BEANS,1234.50,3\r\nTEA,99\r\nA,1,2\r\n",
     {},
     5,
     "第 2 行只有 1 個分隔字元, 至少需要 2 個分隔字元 (決定欄位的第 3 行有 2 個)."},
    // 2: one field: n is 0, the line up to the first delimiter, "1" for an empty line
    {"FieldCountOne", {"A,0,0,0,0"}, ",", "X,Y\r\n\r\nZ,W", {{"X"}, {"1"}, {"Z"}}},
    // 3: empty lines at the end are no records and leave the cut to the last record line; were
    // the empty line to decide, every quantity would be the item number
    {"EmptyLinesAtTheEndAreNoRecords",
     {"ITEM,0,0,0,0", "NAME,0,0,0,0", "QTY,0,0,0,0"},
     ",",
     "1001,APPLE,2\r\n1002,PEAR,3\r\n\r\n\r\n",
     {{"1001", "APPLE", "2"}, {"1002", "PEAR", "3"}}},
    // 4: the deciding last line lost a field: every other line has a delimiter more
    {"DecidingLineLostAField",
     kExample,
     ",",
     "A,1,2\r\nB,3,4\r\nC,5",
     {},
     5,
     "第 1 行有 2 個分隔字元, 決定欄位的第 3 行只有 1 個. 多出的分隔字元 "
     "(例如千分位、品名裡或引號內的分隔字元) 會使欄位錯位, 數量取自別的欄位; 若是第 3 行少了欄位, "
     "請補齊.\r\r"},
    // 5: a line with fewer delimiters than the last line
    {"FewerDelimiters", kExample, ",", "A,1\r\nA,1,2", {}, 5, "第 1 行只有 1 個分隔字元"},
    // 6: width 4 and 3 both keep the double-byte character that reaches the limit
    {"WidthWalksBytes",
     {"A,0,4,0,0", "B,0,3,0,0", "C,0,2,0,0", "D,0,5,0,0", "Q,0,0,0,0"},
     ",",
     big5(QStringLiteral("AB中文,AB中文,AB中文,AB中文,2")),
     {{QStringLiteral("AB中"), QStringLiteral("AB中"), "AB", QStringLiteral("AB中文"), "2"}}},
    // 7: erase decimals removes the first comma except in the last field
    {"SemicolonEraseDecimals",
     {"P,0,0,0,1", "Q,0,0,0,1"},
     ";",
     "1,234.50;1,234.50\r\n1,2,3;4,5.6",
     {{"1234", "1,234"}, {"12,3", "4,5"}}},
    // 8: only trailing spaces go; a tab stays; the width is applied before the spaces go
    {"EraseTrailingSpaces",
     {"A,0,0,1,0", "B,0,4,1,0", "C,0,0,1,0"},
     ",",
     "  X  ,AB  CD,\tQ  \r\n",
     {{"  X", "AB", "\tQ"}}},
    // 9: the last field starts with a delimiter: empty, not "1"
    {"LastFieldEmptyAfterCut",
     {"A,0,0,0,0", "B,0,0,0,0"},
     ",",
     "P,,9\r\nA,1,x",
     {{"P", ""}, {"A", "1"}}},
    // 10: only carriage returns: empty lines only, so no records (nothing to print)
    {"OnlyCarriageReturns", kExample, ",", "\r\r\r", {}},
    // 11: a lone line feed stays in the line; CR LF ends it
    {"LoneLineFeedStays",
     {"A,0,0,0,0", "B,0,0,0,0"},
     ",",
     "A\nB,2\r\nC,3",
     {{"A\nB", "2"}, {"C", "3"}}},
    // 12: a byte that Big5 cannot read stops the read, rather than print a guess
    {"InvalidBytes",
     {"A,0,2,0,0", "B,0,0,0,0"},
     ",",
     big5(QStringLiteral("中,6\r\n")) + QByteArray("X\xFF\x80Y,5\r\n") +
         big5(QStringLiteral("中,6")),
     {},
     5,
     "第 2 行第 2 個位元組不是字碼頁 CP950 的有效字元, 這一行無法正確讀取.\r\r文字檔名="},
    // 13: an empty delimiter cannot cut: refused, nothing read (no whole line as a quantity)
    {"EmptyDelimiter", {"A,0,0,0,0", "B,0,0,0,0"}, "", "X,1\r\nY,2", {}, 5},
    // 14: a definition number beyond 16 bits is an overflow when the field is cut
    {"WidthOverflow",
     {"A,0,40000,0,0", "B,0,0,0,0"},
     ",",
     "X,1\r\nY,2",
     {},
     6,
     "第 1 行: [Fields] Field01 的寬度超出 16 位元整數的範圍 (-32768 到 32767)."},
    // 15: values repeating down a column, cut differently on each line
    {"RepeatedValues",
     {"A,0,2,1,0", "Q,0,0,0,0"},
     ",",
     "AB ,2\r\nAB,2\r\nABC,2\r\nA,2",
     {{"AB", "2"}, {"AB", "2"}, {"AB", "2"}, {"A", "2"}}},
    // 16: fixed positions count bytes; start 11 lies beyond the line
    {"FixedPositions",
     {"A,5,3,0,0", "B,9,5,0,0", "C,11,1,0,0", "D,1,0,0,0"},
     "<fixed>",
     "ABCDEFGHIJ\r\nABCDEFGHIJKL",
     {{"EFG", "IJ", "", ""}, {"EFG", "IJKL", "K", ""}}},
    // 17: fixed mode flags: trailing spaces, then the cut at the first point (no comma removal)
    {"FixedFlags",
     {"A,1,6,1,0", "B,7,8,1,1", "C,15,3,0,0"},
     "<fixed>",
     "AB    1,234.5 007",
     {{"AB", "1,234", "007"}}},
    // 18: a field may not end or begin inside a double-byte character, not even where the cut
    // would decode (the trail byte of 一 is "@")
    {"FixedCutsDoubleByte",
     {"A,1,2,0,0", "B,3,3,0,0"},
     "<fixed>",
     big5(QStringLiteral("中123\r\n中12文")),
     {},
     5,
     "第 2 行第 3 到 5 個位元組的欄位「B」([Fields] Field02) 在一個字元的中間結束, 把字碼頁 CP950 "
     "的多位元組字元切開了"},
    {"FixedBeginsOnATrailByte",
     {"A,2,2,0,0"},
     "<fixed>",
     big5(QStringLiteral("一A")),
     {},
     5,
     "第 1 行第 2 到 3 個位元組的欄位「A」([Fields] Field01) 在一個字元的中間開始"},
    // 20: lines repeating the line above, then a shorter one that must not take its values
    {"FixedRepeatedLines",
     {"A,1,3,1,0", "B,4,3,0,1"},
     "<fixed>",
     "AB 1.5\r\nAB 1.5\r\nAB 2.5\r\nAB",
     {{"AB", "1"}, {"AB", "1"}, {"AB", "2"}, {"AB", ""}}},
    // 21: a start below 1 (an empty definition) is an invalid argument
    {"FixedStartZero",
     {"A,1,2,0,0", "B,,,,"},
     "<fixed>",
     "ABC\r\nDEF",
     {},
     5,
     "第 1 行: [Fields] Field02 (B) 的起始位置 0 小於 1, 無法依固定位置切割."},
    // 22: a negative width is an invalid argument
    {"FixedNegativeWidth", {"A,1,-1,0,0"}, "<fixed>", "ABC", {}, 5, "寬度 -1 是負數"},
    // 23: an empty line between records stays one: too few delimiters, as any short line
    {"EmptyLineInTheMiddleStays",
     kExample,
     ",",
     "A,1,2\r\n\r\nB,3,4\r\n\r\n\r\n",
     {},
     5,
     "第 2 行是空行, 至少需要 2 個分隔字元 (決定欄位的第 3 行有 2 個)."},
    // 24: no CR anywhere: LF ends the lines
    {"LineFeedOnly",
     kExample,
     ",",
     "COFFEE BEANS,1234.50,3\nMILK,45,\nA,1,2\n",
     {{"COFFEE", "1234", "3"}, {"MILK", "45", "1"}, {"A", "1", "2"}}},
    // 25: LF-only file: empty lines in the middle stay ("1" with one field), those at the end go
    {"LineFeedOnlyEmptyLines", {"Q,0,0,0,0"}, ",", "A\n\nB\n\n\n", {{"A"}, {"1"}, {"B"}}},
    // 26: one CR anywhere keeps the CR rule for the whole file: its lone LFs stay in the line
    {"OneCarriageReturnKeepsLoneLineFeeds",
     {"A,0,0,0,0", "Q,0,0,0,0"},
     ",",
     "A,1\nB,2\nC,3\r",
     {{"A", "1\nB"}}},
    // 27: fixed mode: LF-only lines, and empty lines at the end are no records (no empty quantity)
    {"FixedLineFeedOnly",
     {"A,1,2,0,0", "Q,3,1,0,0"},
     "<fixed>",
     "AB2\nCD3\n\n",
     {{"AB", "2"}, {"CD", "3"}}},
    {"FixedEmptyLinesAtTheEnd",
     {"A,1,2,0,0", "Q,3,1,0,0"},
     "<fixed>",
     "AB2\r\n\r\nCD3\r\n\r\n",
     {{"AB", "2"}, {"", ""}, {"CD", "3"}}},
    // 29: a line of blanks is not empty: it stays a record and decides the cut as before
    {"BlankLastLineIsARecord",
     {"A,0,0,0,0", "Q,0,0,0,0"},
     ",",
     "A,1\r\n \r\n",
     {},
     5,
     "第 1 行有 1 個分隔字元, 決定欄位的第 2 行只有 0 個"},
    // 30: delimiters that cannot cut: a double-byte character, two characters, an invalid byte
    {"DoubleByteDelimiter", {"A,0,0,0,0", "Q,0,0,0,0"}, QStringLiteral("中"), "X,1", {}, 5},
    {"TwoCharacterDelimiter", {"A,0,0,0,0", "Q,0,0,0,0"}, ";|", "X;|1", {}, 5},
    {"InvalidByteDelimiter", {"A,0,0,0,0", "Q,0,0,0,0"}, kFfd, "X,1", {}, 5},
    // 33: a tab cuts; fixed mode does not need a delimiter at all
    {"TabDelimiter", {"A,0,0,0,0", "Q,0,0,0,0"}, "\t", "X\t1\r\nY\t2", {{"X", "1"}, {"Y", "2"}}},
    {"FixedWithoutDelimiter", {"A,1,1,0,0"}, "<fixed-empty>", "X\r\nY", {{"X"}, {"Y"}}},
    // 35: erasing trailing blanks takes spaces only: a trailing tab or full-width space stays,
    // and so do the spaces before it; the last field is cut on a path of its own
    {"EraseBlanksKeepsTrailingTab",
     {"A,0,0,1,0", "B,0,0,1,0", "C,0,0,1,0", "Q,0,0,1,0"},
     ",",
     big5(QStringLiteral("X\t,Y \t,中\u3000 ,Z\t ")),
     {{"X\t", "Y \t", QStringLiteral("中\u3000"), "Z\t"}}},
    {"FixedEraseBlanksKeepsTrailingTab",
     {"A,1,3,1,0", "B,4,3,1,0", "C,7,4,1,0"},
     "<fixed>",
     big5(QStringLiteral("X\t Y \t中\u3000")),
     {{"X\t", "Y \t", QStringLiteral("中\u3000")}}},
    // 37: a delimiter more than the deciding line shifts the quantity: the worked example's
    // thousands separator, a comma in a name, a quoted spreadsheet field
    {"ThousandsSeparator",
     kExample,
     ",",
     "COFFEE BEANS,1234.50,3\r\nSUGAR,1,234.50,2\r\nA,1,2",
     {},
     5,
     "第 2 行有 3 個分隔字元, 決定欄位的第 3 行只有 2 個"},
    {"CommaInName", kExample, ",", "TEA, GREEN,50,2\r\nA,1,2", {}, 5, "第 1 行有 3 個"},
    {"QuotedField", kExample, ",", "\"Tea, green\",50,3\r\nA,1,2", {}, 5, "第 1 行有 3 個"},
    // 40: fewer delimiters than the deciding line but all the cut needs: trailing columns left off
    {"TrailingColumnsLeftOff",
     {"A,0,0,0,0", "Q,0,0,0,0"},
     ",",
     "X,1,note\r\nY,2\r\nZ,3,x",
     {{"X", "1"}, {"Y", "2"}, {"Z", "3"}}},
    // 41: lines of Ctrl-Z and blanks at the end are no records and decide nothing
    {"CtrlZAtTheEnd",
     kExample,
     ",",
     "A,1,2\r\nB,3,\r\n\x1A\r\n \x1A\t\r\n\r\n",
     {{"A", "1", "2"}, {"B", "3", "1"}}},
    // 42: a UTF-8 export read as Big5; the message names the setting that reads it
    {"Utf8ReadAsBig5",
     kExample,
     ",",
     QStringLiteral("4710,1,2\r\n烏龍茶,320,2\r\n").toUtf8(),
     {},
     5,
     "第 2 行第 1 個位元組不是字碼頁 CP950 的有效字元, 這一行無法正確讀取.\r\r這個檔案是 UTF-8 "
     "編碼: "
     "若要以 UTF-8 讀取, 請在 Pelmar.INI 的 [Files] 設定 CodePage=UTF-8.\r\r文字檔名="},
    // 43: a byte-order mark is no data in UTF-8 (fixed positions count after it) and refused in
    // another code page, where it would become the first record's characters
    {"FixedByteOrderMarkInUtf8",
     {"A,1,2,0,0", "Q,3,1,0,0"},
     "<fixed>",
     "\xEF\xBB\xBF"
     "AB2",
     {{"AB", "2"}},
     0,
     {},
     "UTF-8"},
    {"ByteOrderMarkInBig5",
     {"A,0,0,0,0", "Q,0,0,0,0"},
     ",",
     "\xEF\xBB\xBF"
     "4710,1\r\n",
     {},
     5,
     "第 1 行以 UTF-8 的位元組順序記號 (EF BB BF) 開頭, 但檔案是以字碼頁 CP950 讀取."},
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class DataFileCases : public ::testing::TestWithParam<Case> {};

TEST_P(DataFileCases, CutsRecords) {
    const Case& c = GetParam();
    Outcome out;
    run(c, out);
    EXPECT_EQ(show(rowsOf(out.state)), show(c.rows));
    EXPECT_EQ(out.result.failed, c.error != 0);
    EXPECT_EQ(out.result.errorNumber, c.error);
    EXPECT_EQ(out.messages.shown.size(), c.error != 0 ? 1u : 0u);
    if (!out.messages.shown.empty()) {
        EXPECT_TRUE(out.messages.shown[0].text.contains(c.said))
            << out.messages.shown[0].text.toStdString();
    }
    if (c.error == 0 && out.state.recordCount > 0) {
        EXPECT_EQ(out.state.records.rows(), out.state.recordCount + 1);
        EXPECT_EQ(out.state.records.columns(), out.state.fieldCount + 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DataFileCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoadDataFile, FailureMessageNamesErrorAndFile) {
    Outcome out;
    run(kCases[5], out);
    ASSERT_EQ(out.messages.shown.size(), 1u);
    const common::Message& m = out.messages.shown[0];
    EXPECT_EQ(m.text,
              QString("第 1 行只有 1 個分隔字元, 至少需要 2 個分隔字元 (決定欄位的第 2 行有 2 "
                      "個).\r\r文字檔名=") +
                  out.state.textFileName);
    EXPECT_EQ(m.caption, QStringLiteral("發生非預期錯誤(5)"));
    EXPECT_EQ(m.icon, common::MessageIcon::Critical);
    EXPECT_EQ(m.buttons, common::MessageButtons::Ok);
}

TEST(LoadDataFile, MissingFileEndsTheProgramUnlessExactlyT) {
    const struct {
        const char* commandLine;
        bool endProgram;
    } cases[] = {{"", true}, {"/T", false}, {"/T /X", true}, {"C:\\DATA\\ITEMS.TXT", true}};
    TempFolder dir;
    for (const auto& c : cases) {
        state::WorkingState state = afterAnEarlierRead();
        state.commandLine = QString::fromLatin1(c.commandLine);
        state.textFileName = dir.file(QStringLiteral("NOTHERE.TXT"));
        RecordingMessageBox messages;
        const data::DataReadResult result = data::LoadDataFile(state, messages);
        EXPECT_TRUE(result.failed);
        EXPECT_EQ(result.errorNumber, 53);
        EXPECT_EQ(result.endProgram, c.endProgram) << c.commandLine;
        EXPECT_EQ(state.recordCount, 0);
        EXPECT_EQ(state.records.at(1, 1), QStringLiteral("OLD"));
        ASSERT_TRUE(pelmar::test::shownOnce(messages,
                                            QStringLiteral("找不到檔案\r\r文字檔名=") +
                                                dir.file(QStringLiteral("NOTHERE.TXT")),
                                            QStringLiteral("發生非預期錯誤(53)")));
    }
}

TEST(LoadDataFile, FileWithoutRecordsKeepsRecordsWithoutMessage) {
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\r\n\r\n"), QByteArray("\n\n")}) {
        TempFolder dir;
        state::WorkingState state = afterAnEarlierRead();
        state.textFileName = dir.write(QStringLiteral("empty.txt"), bytes);
        RecordingMessageBox messages;
        const data::DataReadResult result = data::LoadDataFile(state, messages);
        EXPECT_FALSE(result.failed);
        EXPECT_EQ(state.recordCount, 0);
        EXPECT_EQ(state.records.rows(), 3);
        EXPECT_EQ(state.records.at(1, 1), QStringLiteral("OLD"));
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST(LoadDataFile, DelimiterThatCannotCutIsRefusedBeforeTheFileIsOpened) {
    const struct {
        QString delimiter;
        QString said;
    } cases[] = {
        {QString(), QStringLiteral("Delimiter 是空的")},
        {QStringLiteral("中"), QStringLiteral("Delimiter「中」不是 CP950 的單一位元組字元")},
        {QStringLiteral(";|"), QStringLiteral("Delimiter「;|」不是 CP950 的單一位元組字元")},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delimiter.toStdString());
        state::WorkingState state = afterAnEarlierRead();
        state.delimiter = c.delimiter;
        state.programFolder = dir.path();
        // The file is missing: a refusal after opening it would be error 53.
        state.textFileName = dir.file(QStringLiteral("NOTHERE.TXT"));
        RecordingMessageBox messages;
        const data::DataReadResult result = data::LoadDataFile(state, messages);
        EXPECT_EQ(result.errorNumber, 5);
        EXPECT_EQ(state.recordCount, 0);
        EXPECT_EQ(state.records.at(1, 1), QStringLiteral("OLD"));
        ASSERT_EQ(messages.shown.size(), 1u);
        const QString& text = messages.shown[0].text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("設定檔 ") + dir.file("Pelmar.INI") +
                                    QStringLiteral(" 中 [Fields] 的 ") + c.said))
            << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral("文字檔名=") + state.textFileName));
        EXPECT_EQ(messages.shown[0].caption, QStringLiteral("發生非預期錯誤(5)"));
    }
}

TEST(LoadDataFile, UpperCasedPathFindsTheFile) {
    TempFolder dir;
    dir.write(QStringLiteral("shop/items.txt"), "A,1\r\n");
    state::WorkingState state;
    setFields(state, {"A,0,0,0,0", "Q,0,0,0,0"});
    state.delimiter = QStringLiteral(",");
    state.textFileName = dir.path() + QStringLiteral("/SHOP/ITEMS.TXT");
    RecordingMessageBox messages;
    EXPECT_FALSE(data::LoadDataFile(state, messages).failed);
    EXPECT_EQ(show(rowsOf(state)), "[A|1]");
}

TEST(LoadDataFile, LineLimitIsCheckedInTheCountingPass) {
    // Empty lines at the end are no records and do not count; those in the middle do.
    const struct {
        int lines;
        QByteArray tail;
        int error;
    } cases[] = {{32767, "", 0}, {32768, "", 6}, {32767, "\r\n\r\n\r\n", 0}, {32766, "\r\nX,1", 6}};
    for (const auto& c : cases) {
        TempFolder dir;
        QByteArray bytes;
        for (int i = 1; i <= c.lines; ++i)
            bytes += "N" + QByteArray::number(i) + ",2\r\n";
        bytes += c.tail;
        state::WorkingState state;
        setFields(state, {"A,0,0,0,0", "Q,0,0,0,0"});
        state.delimiter = QStringLiteral(",");
        state.records.recreate(2, 3);
        state.records.set(1, 1, QStringLiteral("OLD"));
        state.commandLine = QStringLiteral("/T");
        state.textFileName = dir.write(QStringLiteral("big.txt"), bytes);
        RecordingMessageBox messages;
        const data::DataReadResult result = data::LoadDataFile(state, messages);
        EXPECT_EQ(result.errorNumber, c.error) << c.lines;
        if (c.error == 0) {
            EXPECT_EQ(state.recordCount, 32767);
            EXPECT_EQ(state.records.at(32767, 1), QStringLiteral("N32767"));
            EXPECT_EQ(state.records.at(32767, 2), QStringLiteral("2"));
        } else {
            EXPECT_EQ(state.recordCount, 0);
            EXPECT_EQ(state.records.at(1, 1), QStringLiteral("OLD"));
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].caption, QStringLiteral("發生非預期錯誤(6)"));
            EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("第 32768 行: ")));
        }
    }
}

TEST(LoadDataFile, MegabyteLineIsOneRecord) {
    TempFolder dir;
    const QByteArray name(1 << 20, 'x');
    state::WorkingState state;
    setFields(state, {"A,0,0,0,0", "Q,0,0,0,0"});
    state.delimiter = QStringLiteral(",");
    state.textFileName = dir.write(QStringLiteral("long.txt"), name + ",3\r\nB,4");
    RecordingMessageBox messages;
    EXPECT_FALSE(data::LoadDataFile(state, messages).failed);
    ASSERT_EQ(state.recordCount, 2);
    EXPECT_EQ(state.records.at(1, 1), QString::fromLatin1(name));
    EXPECT_EQ(state.records.at(1, 2), QStringLiteral("3"));
}

TEST(LoadDataFile, NoFieldsCountsLinesOnly) {
    for (std::int16_t count : {std::int16_t(0), std::int16_t(-3)}) {
        for (std::int16_t mode : {std::int16_t(0), std::int16_t(1)}) {
            TempFolder dir;
            state::WorkingState state;
            state.fieldCount = count;
            state.fieldCutIndex = mode;
            state.delimiter = QStringLiteral(",");
            state.textFileName = dir.write(QStringLiteral("d.txt"), "A,1\r\nB,2\r\n");
            RecordingMessageBox messages;
            EXPECT_FALSE(data::LoadDataFile(state, messages).failed);
            EXPECT_EQ(state.recordCount, 2);
            EXPECT_EQ(state.records.rows(), 3);
            EXPECT_EQ(state.records.columns(), 1);
            EXPECT_TRUE(state.records.at(1, 0).isEmpty());
        }
    }
}

TEST(LoadDataFile, SecondReadReplacesTheTable) {
    TempFolder dir;
    state::WorkingState state;
    setFields(state, {"A,0,0,0,0", "Q,0,0,0,0"});
    state.delimiter = QStringLiteral(",");
    RecordingMessageBox messages;
    state.textFileName = dir.write(QStringLiteral("a.txt"), "A,1\r\nB,2\r\nC,3");
    data::LoadDataFile(state, messages);
    state.textFileName = dir.write(QStringLiteral("b.txt"), "D,4");
    data::LoadDataFile(state, messages);
    EXPECT_EQ(show(rowsOf(state)), "[D|4]");
    EXPECT_EQ(state.records.rows(), 2);
    EXPECT_TRUE(state.records.at(2, 1).isEmpty());
}

} // namespace
