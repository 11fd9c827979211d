#include "format/driver_format_loader.h"

#include "format/format_loader.h"
#include "loader_fixture.h"

#include <QFile>

using namespace pelmar;
using format::FormatLoadResult;
using format::LoadFormat_Driver;
using state::LoadedFormat;
using test::LoaderFixture;

namespace {

class LoadFormatDriverTest : public LoaderFixture {
protected:
    FormatLoadResult load(const QByteArray& bytes) {
        writeFormat(bytes);
        return LoadFormat_Driver(state, messages);
    }
};

TEST_F(LoadFormatDriverTest, ElementLines) {
    const std::vector<ElementLine> cases = {
        /* 0 */ {"Line=10,10,200,10", u"Line", 0, u""},
        /* 1 */
        {"Line=10,10,200,10,3", u"Line", 1, u"x1=10 | y1=10 | x2=200 | y2=10 | thickness=3"},
        /* 2 */ {"Box= 1 ,2, 3,4 ,5,6", u"Box", 1, u"x1=1 | y1=2 | x2=3 | y2=4 | thickness=5,6"},
        /* 3 */ {"Box=1,2,3,4", u"Box", 0, u""},
        /* 4 */
        {"F_Text=10,20,12,0,0,Arial,A, B", u"F_Text", 1,
         u"x=10 | y=20 | size=12 | style=0 | lineStyle=0 | face=Arial | content=A, B"},
        /* 5 */ {"F_Text=10,20,12,0,0,Arial", u"F_Text", 0, u""},
        /* 6 */
        {"V_Text=10,20,12,1,0,Arial,1+\" NT\"", u"V_Text", 1,
         u"x=10 | y=20 | size=12 | style=1 | lineStyle=0 | face=Arial | content=1+\" NT\""},
        /* 7 */ {"F_Barcode=10,20,39", u"F_Barcode", 0, u""},
        /* 8 */
        {"F_Barcode=10,20,Free 3 of 9,*A,1*", u"F_Barcode", 1,
         u"x=10 | y=20 | font=Free 3 of 9 | content=*A,1*"},
        /* 9 */
        {"V_Barcode=10,20,Code 128,2", u"V_Barcode", 1, u"x=10 | y=20 | font=Code 128 | content=2"},
        /* 10 */
        {"Graphic=0,0,30,20,LOGO.BMP", u"Graphic", 1,
         u"x=0 | y=0 | width=30 | height=20 | fileName=LOGO.BMP"},
        /* 11 */ {"Graphic=0,0,LOGO.BMP", u"Graphic", 0, u""},
        // Command-mode keywords are not taken in driver mode.
        /* 12 */ {"PDF417=1,2,3,4,5,6,7,8,9,10,1", u"PDF417", 0, u""},
        /* 13 */ {"DMATRIX=1,2,3,4,5,1", u"DMATRIX", 0, u""},
        /* 14 */ {"graphic=0,0,30,20,LOGO.BMP", u"Graphic", 0, u""},
    };
    expectStored(cases, &LoadedFormat::driver, [this](const QByteArray& bytes) { load(bytes); });
}

TEST_F(LoadFormatDriverTest, TouchesOnlyItsOwnKeywordsAndCounts) {
    LoadedFormat& f = state.format;
    f.labelSettings = {"60", "40", "2", "4", "8"};
    f.command.direction = QStringLiteral("0");
    f.command.stripeCommand = QStringLiteral("SET STRIPE OFF");
    f.command.cutterCommand = QStringLiteral("SET CUTTER BATCH");
    f.command.labelOffset = QStringLiteral("3");
    f.command.sensorType = QStringLiteral("1");
    f.command.pdf417Elements.count = 2;
    f.command.dMatrixElements.count = 3;
    f.command.boxElements.count = 7;
    f.driver.boxElements.count = 7;
    f.driver.lineElements.count = 7;
    load("LabelGap=9\r\nPrintSpeed=9\r\nPrintDarken=9\r\nDirection=1\r\nSetStripe=ON\r\n"
         "SetCutter=OFF\r\nLabelOffset=0\r\nSensorType=0\r\nLabelWidth = 80\r\n"
         "PDF417=1,2,3,4,5,6,7,8,9,10,1\r\nDMATRIX=1,2,3,4,5,1\r\nBox=1,2,3,4,5\r\n");
    EXPECT_EQ(test::described(f.labelSettings),
              QStringLiteral("width=80 | height=40 | gap=2 | speed=4 | darkness=8"));
    EXPECT_EQ(f.command.direction, QStringLiteral("0"));
    EXPECT_EQ(f.command.stripeCommand, QStringLiteral("SET STRIPE OFF"));
    EXPECT_EQ(f.command.cutterCommand, QStringLiteral("SET CUTTER BATCH"));
    EXPECT_EQ(f.command.labelOffset, QStringLiteral("3"));
    EXPECT_EQ(f.command.sensorType, QStringLiteral("1"));
    EXPECT_EQ(counts(f.command), (std::vector<int>{0, 7, 0, 0, 0, 0, 2, 3, 0}));
    EXPECT_EQ(counts(f.driver), (std::vector<int>{0, 1, 0, 0, 0, 0, 0}));
}

TEST_F(LoadFormatDriverTest, EmptyOrCommentsOnlyFileLeavesLabelSettings) {
    for (const QByteArray& file :
         {QByteArray(), QByteArray("'LabelWidth=1\r\n' x\r\n"), QByteArray("\r\r\r")}) {
        state.format.labelSettings.width = QStringLiteral("60");
        state.format.labelSettings.height = QStringLiteral("40");
        state.format.driver.graphicElements.count = 3;
        load(file);
        EXPECT_EQ(counts(state.format.driver), std::vector<int>(7, 0));
        EXPECT_EQ(state.format.labelSettings.width, QStringLiteral("60"));
        EXPECT_EQ(state.format.labelSettings.height, QStringLiteral("40"));
    }
}

TEST_F(LoadFormatDriverTest, TwentyFirstBoxKeepsTheFirstTwenty) {
    struct Case {
        QString commandLine;
        bool endProgram;
    };
    for (const Case& c : {Case{"/T", false}, Case{"", true}}) {
        messages.shown.clear();
        state.format = LoadedFormat();
        state.commandLine = c.commandLine;
        const FormatLoadResult result = load(boxLines(21) + "LabelWidth=60\r\n");
        EXPECT_TRUE(result.failed);
        EXPECT_EQ(result.errorNumber, 9);
        EXPECT_EQ(result.endProgram, c.endProgram);
        ASSERT_TRUE(pelmar::test::shownOnce(
            messages, QStringLiteral("陣列索引超出範圍\r\r格式檔名=TEST.FMT"),
            QStringLiteral("發生非預期錯誤"), common::MessageIcon::Critical));
        EXPECT_EQ(state.format.driver.boxElements.count, 20);
        EXPECT_EQ(test::storedRow(state.format.driver.boxElements, 19),
                  QStringLiteral("x1=20 | y1=2 | x2=3 | y2=4 | thickness=5"));
        EXPECT_EQ(state.format.labelSettings.width, QString());
    }
}

TEST_F(LoadFormatDriverTest, RequiredCommaBeyondPosition32767ShowsOverflow) {
    const FormatLoadResult result =
        load("Box=1,2,3,4,5\r\nF_Text=1,2,3,0,0," + QByteArray(33000, 'x') + ",A\r\n");
    EXPECT_EQ(result.errorNumber, 6);
    ASSERT_TRUE(pelmar::test::shownOnce(messages, QStringLiteral("溢位\r\r格式檔名=TEST.FMT")));
    EXPECT_EQ(state.format.driver.boxElements.count, 1);
    EXPECT_EQ(state.format.driver.fTextElements.count, 0);
}

TEST_F(LoadFormatDriverTest, SampleFormatFile) {
    QFile sample(QStringLiteral(PELMAR_TEST_DATA_DIR "/format/DRIVER.FMT"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    load(sample.readAll());
    const LoadedFormat& f = state.format;
    EXPECT_EQ(f.labelSettings.width, QStringLiteral("60"));
    EXPECT_EQ(f.labelSettings.gap, QString());
    EXPECT_EQ(counts(f.driver), (std::vector<int>{1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(test::storedRow(f.driver.fTextElements, 0),
              QStringLiteral("x=20 | y=20 | size=12 | style=1 | lineStyle=0 | face=標楷體 | "
                             "content=品名"));
    EXPECT_EQ(f.driver.vTextElements.rows[0].content, QStringLiteral("1+\" 元\""));
    EXPECT_EQ(test::storedRow(f.driver.fBarcodeElements, 0),
              QStringLiteral("x=20 | y=200 | font=Free 3 of 9 | content=*A123*"));
    // A barcode keeps its line of the file, for the messages about its data.
    EXPECT_EQ(f.driver.fBarcodeElements.rows[0].line, 9);
    EXPECT_EQ(f.driver.vBarcodeElements.rows[0].line, 10);
    EXPECT_EQ(test::storedRow(f.driver.graphicElements, 0),
              QStringLiteral("x=300 | y=20 | width=30 | height=20 | fileName=LOGO.BMP"));
}

} // namespace
