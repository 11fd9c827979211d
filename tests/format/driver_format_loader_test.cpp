#include "format/driver_format_loader.h"

#include "format/format_loader.h"
#include "loader_fixture.h"

#include <QFile>

using namespace pelmar;
using format::FormatLoadResult;
using format::LoadFormat_Driver;
using state::ElementTable;
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
    struct Case {
        QByteArray line;
        ElementTable LoadedFormat::*table;
        int count;
        QStringList row;
    };
    const Case cases[] = {
        /* 0 */ {"Line=10,10,200,10", &LoadedFormat::lineElements, 0, {}},
        /* 1 */
        {"Line=10,10,200,10,3", &LoadedFormat::lineElements, 1, {"10", "10", "200", "10", "3"}},
        /* 2 */ {"Box= 1 ,2, 3,4 ,5,6", &LoadedFormat::boxElements, 1, {"1", "2", "3", "4", "5,6"}},
        /* 3 */ {"Box=1,2,3,4", &LoadedFormat::boxElements, 0, {}},
        /* 4 */
        {"F_Text=10,20,12,0,0,Arial,A, B",
         &LoadedFormat::fTextElements,
         1,
         {"10", "20", "12", "0", "0", "Arial", "A, B"}},
        /* 5 */ {"F_Text=10,20,12,0,0,Arial", &LoadedFormat::fTextElements, 0, {}},
        /* 6 */
        {"V_Text=10,20,12,1,0,Arial,1+\" NT\"",
         &LoadedFormat::vTextElements,
         1,
         {"10", "20", "12", "1", "0", "Arial", "1+\" NT\""}},
        /* 7 */ {"F_Barcode=10,20,39", &LoadedFormat::fBarcodeElements, 0, {}},
        /* 8 */
        {"F_Barcode=10,20,Free 3 of 9,*A,1*",
         &LoadedFormat::fBarcodeElements,
         1,
         {"10", "20", "Free 3 of 9", "*A,1*"}},
        /* 9 */
        {"V_Barcode=10,20,Code 128,2",
         &LoadedFormat::vBarcodeElements,
         1,
         {"10", "20", "Code 128", "2"}},
        /* 10 */
        {"Graphic=0,0,30,20,LOGO.BMP",
         &LoadedFormat::graphicElements,
         1,
         {"0", "0", "30", "20", "LOGO.BMP"}},
        /* 11 */ {"Graphic=0,0,LOGO.BMP", &LoadedFormat::graphicElements, 0, {}},
        // Command-mode keywords are not taken in driver mode.
        /* 12 */ {"PDF417=1,2,3,4,5,6,7,8,9,10,1", &LoadedFormat::pdf417Elements, 0, {}},
        /* 13 */ {"DMATRIX=1,2,3,4,5,1", &LoadedFormat::dMatrixElements, 0, {}},
        /* 14 */ {"graphic=0,0,30,20,LOGO.BMP", &LoadedFormat::graphicElements, 0, {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        state.format = LoadedFormat();
        EXPECT_FALSE(load(c.line + "\r\n").failed) << "case " << i;
        const ElementTable& table = state.format.*c.table;
        ASSERT_EQ(table.count, c.count) << "case " << i;
        if (c.count == 1) {
            EXPECT_EQ(row(table, 0, static_cast<int>(c.row.size())), c.row) << "case " << i;
        }
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LoadFormatDriverTest, TouchesOnlyItsOwnKeywordsAndCounts) {
    LoadedFormat& f = state.format;
    f.labelSettings = {"60", "40", "2", "4", "8"};
    f.direction = QStringLiteral("0");
    f.stripeCommand = QStringLiteral("SET STRIPE OFF");
    f.cutterCommand = QStringLiteral("SET CUTTER BATCH");
    f.labelOffset = QStringLiteral("3");
    f.sensorType = QStringLiteral("1");
    f.pdf417Elements.count = 2;
    f.dMatrixElements.count = 3;
    f.boxElements.count = 7;
    f.lineElements.count = 7;
    const FormatLoadResult result =
        load("LabelGap=9\r\nPrintSpeed=9\r\nPrintDarken=9\r\nDirection=1\r\nSetStripe=ON\r\n"
             "SetCutter=OFF\r\nLabelOffset=0\r\nSensorType=0\r\nLabelWidth = 80\r\n"
             "PDF417=1,2,3,4,5,6,7,8,9,10,1\r\nDMATRIX=1,2,3,4,5,1\r\nBox=1,2,3,4,5\r\n");
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(f.labelSettings, (std::array<QString, 5>{"80", "40", "2", "4", "8"}));
    EXPECT_EQ(f.direction, QStringLiteral("0"));
    EXPECT_EQ(f.stripeCommand, QStringLiteral("SET STRIPE OFF"));
    EXPECT_EQ(f.cutterCommand, QStringLiteral("SET CUTTER BATCH"));
    EXPECT_EQ(f.labelOffset, QStringLiteral("3"));
    EXPECT_EQ(f.sensorType, QStringLiteral("1"));
    EXPECT_EQ(counts(f), (std::vector<int>{0, 1, 0, 0, 0, 0, 2, 3, 0}));
}

TEST_F(LoadFormatDriverTest, EmptyOrCommentsOnlyFileLeavesLabelSettings) {
    for (const QByteArray& file :
         {QByteArray(), QByteArray("'LabelWidth=1\r\n' x\r\n"), QByteArray("\r\r\r")}) {
        state.format.labelSettings[0] = QStringLiteral("60");
        state.format.labelSettings[1] = QStringLiteral("40");
        state.format.graphicElements.count = 3;
        EXPECT_FALSE(load(file).failed);
        EXPECT_EQ(counts(state.format), std::vector<int>(9, 0));
        EXPECT_EQ(state.format.labelSettings[0], QStringLiteral("60"));
        EXPECT_EQ(state.format.labelSettings[1], QStringLiteral("40"));
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
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].caption, QStringLiteral("發生非預期錯誤"));
        EXPECT_EQ(messages.shown[0].icon, common::MessageIcon::Critical);
        EXPECT_EQ(messages.shown[0].text, QStringLiteral("陣列索引超出範圍\r\r格式檔名=TEST.FMT"));
        EXPECT_EQ(state.format.boxElements.count, 20);
        EXPECT_EQ(row(state.format.boxElements, 19, 5), (QStringList{"20", "2", "3", "4", "5"}));
        EXPECT_EQ(state.format.labelSettings[0], QString());
    }
}

TEST_F(LoadFormatDriverTest, RequiredCommaBeyondPosition32767ShowsOverflow) {
    const FormatLoadResult result =
        load("Box=1,2,3,4,5\r\nF_Text=1,2,3,0,0," + QByteArray(33000, 'x') + ",A\r\n");
    EXPECT_EQ(result.errorNumber, 6);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("溢位\r\r格式檔名=TEST.FMT"));
    EXPECT_EQ(state.format.boxElements.count, 1);
    EXPECT_EQ(state.format.fTextElements.count, 0);
}

TEST_F(LoadFormatDriverTest, SampleFormatFile) {
    QFile sample(QStringLiteral(PELMAR_TEST_DATA_DIR "/format/DRIVER.FMT"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    ASSERT_FALSE(load(sample.readAll()).failed);
    const LoadedFormat& f = state.format;
    EXPECT_EQ(f.labelSettings[0], QStringLiteral("60"));
    EXPECT_EQ(f.labelSettings[2], QString());
    EXPECT_EQ(counts(f), (std::vector<int>{1, 1, 1, 1, 1, 1, 0, 0, 1}));
    EXPECT_EQ(row(f.fTextElements, 0, 7),
              (QStringList{"20", "20", "12", "1", "0", "標楷體", "品名"}));
    EXPECT_EQ(f.vTextElements.at(0, 6), QStringLiteral("1+\" 元\""));
    EXPECT_EQ(row(f.fBarcodeElements, 0, 4), (QStringList{"20", "200", "Free 3 of 9", "*A123*"}));
    EXPECT_EQ(row(f.graphicElements, 0, 5), (QStringList{"300", "20", "30", "20", "LOGO.BMP"}));
}

} // namespace
