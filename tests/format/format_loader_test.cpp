#include "format/format_loader.h"

#include "format/driver_format_loader.h"
#include "loader_fixture.h"

#include <QFile>

using namespace pelmar;
using format::FormatLoadResult;
using format::LoadFormat;
using state::LoadedFormat;
using test::big5;
using test::LoaderFixture;

namespace {

class LoadFormatTest : public LoaderFixture {
protected:
    FormatLoadResult load(const QByteArray& bytes) {
        writeFormat(bytes);
        return LoadFormat(state, messages);
    }
};

TEST_F(LoadFormatTest, ElementLines) {
    const std::vector<ElementLine> cases = {
        /* 0 */ {"Line=10,20,30", u"Line", 0, u""},
        /* 1 */
        {"Line=10,20,30,40,50", u"Line", 1, u"x=10 | y=20 | width=30 | height=40,50"},
        /* 2 */
        {"Box = 10 , 10 , 790 , 390 , 3 ", u"Box", 1,
         u"xStart=10 | yStart=10 | xEnd=790 | yEnd=390 | thickness=3"},
        /* 3 */ {"Box=10,10,790,390", u"Box", 0, u""},
        /* 4 */
        {"F_Text=10,10,24,0,0,0,Arial,Date=yyyy/mm/dd", u"F_Text", 1,
         u"x=10 | y=10 | height=24 | rotation=0 | style=0 | underline=0 | face=Arial | "
         u"content=Date=yyyy/mm/dd"},
        /* 5 */ {"F_Text=10,10,24,0,0,0,Arial", u"F_Text", 0, u""},
        /* 6 */
        {"V_Text=40,60,48,0,0,0,Arial,2", u"V_Text", 1,
         u"x=40 | y=60 | height=48 | rotation=0 | style=0 | underline=0 | face=Arial | content=2"},
        /* 7 */
        {"F_Barcode=10,20,39,60,1,0,2,4,A,B", u"F_Barcode", 1,
         u"x=10 | y=20 | symbology=39 | height=60 | readable=1 | rotation=0 | narrow=2 | wide=4 | "
         u"content=A,B"},
        /* 8 */ {"F_Barcode=10,20,39,60,1,0,2,4", u"F_Barcode", 0, u""},
        /* 9 */
        {"V_Barcode=10,20,128M,60,1,0,2,4,1+\"-\"+2", u"V_Barcode", 1,
         u"x=10 | y=20 | symbology=128M | height=60 | readable=1 | rotation=0 | narrow=2 | wide=4 "
         u"| content=1+\"-\"+2"},
        /* 10 */
        {"PDF417=10, 20, 300,200,0, E4,W3, H3,R0, C5, 1 ", u"PDF417", 1,
         u"parameters=10, 20, 300,200,0, E4,W3, H3,R0, C5 | content=1"},
        /* 11 */ {"PDF417=10,20,300,200,0,E4,W3,H3,R0", u"PDF417", 0, u""},
        /* 12 */
        {"DMATRIX= 10, 20,100,100, x6 ,3,4", u"DMATRIX", 1,
         u"parameters=10, 20,100,100, x6 | content=3,4"},
        /* 13 */
        {"Graphic=0,0,LOGO.PCX", u"Graphic", 1, u"x=0 | y=0 | fileName=LOGO.PCX"},
        /* 14 */ {"Graphic=0,LOGO.PCX", u"Graphic", 0, u""},
        // Keywords match exactly, case included.
        /* 15 */ {"box=1,2,3,4,5", u"Box", 0, u""},
        /* 16 */ {"BOX=1,2,3,4,5", u"Box", 0, u""},
        /* 17 */ {"Pdf417=1,2,3,4,5,6,7,8,9,10,1", u"PDF417", 0, u""},
        /* 18 */ {"'Box=1,2,3,4,5", u"Box", 0, u""},
    };
    expectStored(cases, &LoadedFormat::command, [this](const QByteArray& bytes) { load(bytes); });
}

TEST_F(LoadFormatTest, SettingsLines) {
    struct Case {
        QByteArray file;
        QString width, offset, sensor, direction, stripe, cutter;
    };
    const Case cases[] = {
        /* 0 */ {"", "", "0", "0", "1", "SET STRIPE ON", "SET CUTTER OFF"},
        /* 1 */ {"LabelWidth = 100 \r\n", "100", "0", "0", "1", "SET STRIPE ON", "SET CUTTER OFF"},
        /* 2 */ {"labelwidth=100\r\n", "", "0", "0", "1", "SET STRIPE ON", "SET CUTTER OFF"},
        /* 3 */ {"'LabelWidth=100\r\n", "", "0", "0", "1", "SET STRIPE ON", "SET CUTTER OFF"},
        /* 4 */
        {"LabelOffset=2\rSensorType=1\rDirection=0\r", "", "2", "1", "0", "SET STRIPE ON",
         "SET CUTTER OFF"},
        /* 5 */
        {"SetStripe=OFF\r\nSetCutter=BATCH\r\n", "", "0", "0", "1", "SET STRIPE OFF",
         "SET CUTTER BATCH"},
        /* 6 */ {"SetStripe=\r\nSetCutter=  \r\n", "", "0", "0", "1", "SET STRIPE ", "SET CUTTER "},
        /* 7 */
        {"Direction=0\r\nDirection=1,0\r\n", "", "0", "0", "1,0", "SET STRIPE ON",
         "SET CUTTER OFF"},
        /* 8 */
        {"LabelWidth=60\r\nLabelWidth=\r\n", "", "0", "0", "1", "SET STRIPE ON", "SET CUTTER OFF"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        state.format = LoadedFormat();
        load(c.file);
        const state::CommandFormat& f = state.format.command;
        EXPECT_EQ(state.format.labelSettings.width, c.width) << "case " << i;
        EXPECT_EQ(f.labelOffset, c.offset) << "case " << i;
        EXPECT_EQ(f.sensorType, c.sensor) << "case " << i;
        EXPECT_EQ(f.direction, c.direction) << "case " << i;
        EXPECT_EQ(f.stripeCommand, c.stripe) << "case " << i;
        EXPECT_EQ(f.cutterCommand, c.cutter) << "case " << i;
    }
}

TEST_F(LoadFormatTest, EachLoadResetsCountsAndPrinterSettingsButKeepsLabelSettings) {
    load("LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\nPrintDarken=8\r\n"
         "Direction=0\r\nSetStripe=OFF\r\nSetCutter=ON\r\nLabelOffset=3\r\nSensorType=1\r\n" +
         boxLines(3) + "Line=1,2,3,4\r\nGraphic=0,0,A.PCX\r\n");
    load("LabelHeight=30\r\nBox=9,9,9,9,9\r\n");
    EXPECT_EQ(test::described(state.format.labelSettings),
              QStringLiteral("width=60 | height=30 | gap=2 | speed=4 | darkness=8"));
    const state::CommandFormat& f = state.format.command;
    EXPECT_EQ(f.direction, QStringLiteral("1"));
    EXPECT_EQ(f.stripeCommand, QStringLiteral("SET STRIPE ON"));
    EXPECT_EQ(f.cutterCommand, QStringLiteral("SET CUTTER OFF"));
    EXPECT_EQ(f.labelOffset, QStringLiteral("0"));
    EXPECT_EQ(f.sensorType, QStringLiteral("0"));
    EXPECT_EQ(counts(f), (std::vector<int>{0, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.boxElements.rows[0].xStart, QStringLiteral("9"));
}

TEST_F(LoadFormatTest, CommentsOnlyOrNoLinesLoadNothing) {
    const QByteArray files[] = {
        "' one\r\n'Box=1,2,3,4,5\r\n' three", "", "\r\r\r\r", "\r\n\r\n",
        "no equals sign here\r\n   \r\n",
    };
    for (const QByteArray& file : files) {
        state.format.command.boxElements.count = 5;
        state.format.labelSettings.width = QStringLiteral("60");
        load(file);
        EXPECT_EQ(counts(state.format.command), std::vector<int>(9, 0)) << file.toStdString();
        EXPECT_EQ(state.format.labelSettings.width, QStringLiteral("60"));
    }
}

TEST_F(LoadFormatTest, LineEndings) {
    // CR, CR LF and (for files saved by an editor here) a lone LF end a line.
    load("Box=1,2,3,4,5\rBox=6,7,8,9,10\r\nLabelWidth=60\nLabelHeight=40");
    EXPECT_EQ(state.format.command.boxElements.count, 2);
    EXPECT_EQ(state.format.labelSettings.width, QStringLiteral("60"));
    EXPECT_EQ(state.format.labelSettings.height, QStringLiteral("40"));
}

TEST_F(LoadFormatTest, TwentyFirstElementShowsSubscriptOutOfRange) {
    struct Case {
        QString commandLine;
        bool endProgram;
    };
    const Case cases[] = {{"/T", false}, {"", true}, {"/T C:\\DATA\\ITEMS.TXT", true}};
    for (const Case& c : cases) {
        messages.shown.clear();
        state.format = LoadedFormat();
        state.commandLine = c.commandLine;
        const FormatLoadResult result =
            load("Line=1,2,3,4\r\n" + boxLines(21) + "Line=5,6,7,8\r\nLabelWidth=99\r\n");
        EXPECT_TRUE(result.failed);
        EXPECT_EQ(result.errorNumber, 9);
        EXPECT_EQ(result.endProgram, c.endProgram) << c.commandLine.toStdString();
        ASSERT_EQ(messages.shown.size(), 1u);
        const common::Message& m = messages.shown[0];
        EXPECT_EQ(m.caption, QStringLiteral("發生非預期錯誤"));
        EXPECT_EQ(m.icon, common::MessageIcon::Critical);
        EXPECT_EQ(m.buttons, common::MessageButtons::Ok);
        EXPECT_EQ(m.text, QStringLiteral("陣列索引超出範圍\r\r格式檔名=TEST.FMT"));
        // What came before the failure stays, nothing after it is read.
        EXPECT_EQ(state.format.command.boxElements.count, 20);
        EXPECT_EQ(state.format.command.boxElements.rows[19].xStart, QStringLiteral("20"));
        EXPECT_EQ(state.format.command.lineElements.count, 1);
        EXPECT_EQ(state.format.labelSettings.width, QString());
    }
}

TEST_F(LoadFormatTest, ShortLineAfterTwentyElementsIsNoTwentyFirst) {
    const FormatLoadResult result = load(boxLines(20) + "Box=1,2,3\r\nLabelWidth=60\r\n");
    EXPECT_NE(result.errorNumber, 9);
    EXPECT_EQ(state.format.command.boxElements.count, 20);
    EXPECT_EQ(state.format.labelSettings.width, QStringLiteral("60"));
}

TEST_F(LoadFormatTest, MissingFileShowsFileNotFoundWithTheFormatName) {
    state.format.command.boxElements.count = 4;
    state.formatFileName = QStringLiteral("NOPE.FMT");
    const FormatLoadResult result = LoadFormat(state, messages);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.errorNumber, 53);
    EXPECT_FALSE(result.endProgram);
    ASSERT_TRUE(pelmar::test::shownOnce(messages, QStringLiteral("找不到檔案\r\r格式檔名=NOPE.FMT"),
                                        QStringLiteral("發生非預期錯誤")));
    EXPECT_EQ(state.format.command.boxElements.count, 0)
        << "the counts are reset before the file opens";

    messages.shown.clear();
    state.formatFileName.clear();
    EXPECT_EQ(LoadFormat(state, messages).errorNumber, 53) << "an empty name is no file";
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(LoadFormatTest, FileNameMatchesIgnoringCase) {
    folder.write(QStringLiteral("shop.fmt"), "Box=1,2,3,4,5\r\n");
    state.formatFileName = QStringLiteral("SHOP.FMT");
    LoadFormat(state, messages);
    EXPECT_EQ(state.format.command.boxElements.count, 1);
}

TEST_F(LoadFormatTest, EqualsBeyondPosition32767ShowsOverflow) {
    const FormatLoadResult result =
        load("Box=1,2,3,4,5\r\n" + QByteArray(40000, 'x') + "=1\r\nBox=6,7,8,9,10\r\n");
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.errorNumber, 6);
    ASSERT_TRUE(pelmar::test::shownOnce(messages, QStringLiteral("溢位\r\r格式檔名=TEST.FMT")));
    EXPECT_EQ(state.format.command.boxElements.count, 1);
}

TEST_F(LoadFormatTest, MegabyteLinesAreReadOn) {
    const QByteArray bigText(1 << 20, 'x');
    load(QByteArray(1 << 20, 'y') + "\r\nF_Text=1,2,3,0,0,0,Arial," + bigText +
         "\r\nBox=1,2,3,4,5\r\n");
    ASSERT_EQ(state.format.command.fTextElements.count, 1);
    EXPECT_EQ(state.format.command.fTextElements.rows[0].content.size(), bigText.size());
    EXPECT_EQ(state.format.command.boxElements.count, 1);
}

TEST_F(LoadFormatTest, Big5TextsAndInvalidBytes) {
    load(big5(QStringLiteral("F_Text=10,10,24,0,0,0,標楷體,品名：蘋果\r\n")));
    const state::ElementTable<state::CommandFormat::Text>& texts =
        state.format.command.fTextElements;
    ASSERT_EQ(texts.count, 1);
    EXPECT_EQ(texts.rows[0].face, QStringLiteral("標楷體"));
    EXPECT_EQ(texts.rows[0].content, QStringLiteral("品名：蘋果"));
    // A byte the code page cannot read stops the load rather than print a guess.
    messages.shown.clear();
    EXPECT_EQ(load("Box=1,2,3,4,5\r\nF_Text=1,2,3,0,0,0,Arial,A\xff"
                   "B\r\n")
                  .errorNumber,
              5);
    ASSERT_TRUE(pelmar::test::shownOnce(
        messages,
        QStringLiteral("第 2 行第 27 個位元組不是字碼頁 CP950 的有效字元, 這一行無法正確讀取."
                       "\r\r格式檔名=TEST.FMT")));
    // In UTF-8 a byte-order mark is not part of the first key.
    state.codePage = common::CodePage(QByteArrayLiteral("UTF-8"));
    load("\xEF\xBB\xBFLabelWidth=80\r\n");
    EXPECT_EQ(state.format.labelSettings.width, QStringLiteral("80"));
}

TEST_F(LoadFormatTest, EachModeKeepsItsOwnElements) {
    // A format written for one mode is read into that mode's elements only; the label size is
    // the one both share.
    writeFormat("LabelWidth=80\r\nLine=1,2,3,4,5\r\n");
    format::LoadFormat_Driver(state, messages);
    load("Line=1,2,3,4\r\n");
    EXPECT_EQ(test::storedRow(state.format.command.lineElements, 0),
              QStringLiteral("x=1 | y=2 | width=3 | height=4"));
    EXPECT_EQ(test::storedRow(state.format.driver.lineElements, 0),
              QStringLiteral("x1=1 | y1=2 | x2=3 | y2=4 | thickness=5"));
    EXPECT_EQ(state.format.labelSettings.width, QStringLiteral("80"));
}

TEST_F(LoadFormatTest, SampleFormatFile) {
    folder.write(QStringLiteral("SAMPLE.FMT"), [] {
        QFile file(QStringLiteral(PELMAR_TEST_DATA_DIR "/format/SAMPLE.FMT"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }());
    state.formatFileName = QStringLiteral("SAMPLE.FMT");
    LoadFormat(state, messages);
    EXPECT_EQ(test::described(state.format.labelSettings),
              QStringLiteral("width=60 | height=40 | gap=2 | speed=4 | darkness=8"));
    const state::CommandFormat& f = state.format.command;
    EXPECT_EQ(f.direction, QStringLiteral("0"));
    EXPECT_EQ(f.stripeCommand, QStringLiteral("SET STRIPE OFF"));
    EXPECT_EQ(f.cutterCommand, QStringLiteral("SET CUTTER BATCH"));
    EXPECT_EQ(counts(f), (std::vector<int>{1, 1, 2, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(test::storedRow(f.fTextElements, 0),
              QStringLiteral("x=20 | y=20 | height=48 | rotation=0 | style=0 | underline=0 | "
                             "face=標楷體 | content=品名"));
    EXPECT_EQ(f.fTextElements.rows[1].content, QStringLiteral("Date=yyyy/mm/dd"));
    EXPECT_EQ(test::storedRow(f.pdf417Elements, 0),
              QStringLiteral("parameters=300,100,200,200,0, E4, W3, H3, R0, C5 | content=1"));
    EXPECT_EQ(test::storedRow(f.dMatrixElements, 0),
              QStringLiteral("parameters=400,200,100,100, x6 | content=3+\"-\"+4"));
    EXPECT_EQ(f.graphicElements.rows[0].fileName, QStringLiteral("LOGO.PCX"));
}

} // namespace
