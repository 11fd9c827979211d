#include "format/driver_format_loader.h"
#include "format/format_loader.h"
#include "loader_fixture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

using namespace pelmar;
using format::FormatLoadResult;

namespace {

class FormatCheckTest : public test::LoaderFixture {
protected:
    // Each row's problems as "E12 text" / "W3 text", one a line (0: no line names it).
    QString problemsOf(bool driver, const QByteArray& file) {
        writeFormat(file);
        const FormatLoadResult result = driver ? format::LoadFormat_Driver(state, messages)
                                               : format::LoadFormat(state, messages);
        QStringList lines;
        for (const format::FormatProblem& p : result.problems)
            lines << QStringLiteral("%1%2 ").arg(p.isError() ? "E" : "W").arg(p.line) + p.text;
        EXPECT_EQ(result.failed, format::hasErrors(result.problems));
        return lines.join(u'\n');
    }
};

TEST_F(FormatCheckTest, FormatTextInProblemsOut) {
    QImage wide(800, 10, QImage::Format_Mono);
    wide.fill(1);
    QBuffer bmp;
    bmp.open(QIODevice::WriteOnly);
    wide.save(&bmp, "BMP");
    folder.write(QStringLiteral("WIDE.BMP"), bmp.data());
    folder.write(QStringLiteral("BAD.PCX"), "not a picture");
    folder.write(QStringLiteral("SIGN.GIF"), "GIF89a");
    QFile logo(QStringLiteral(PELMAR_SOURCE_DIR "/examples/shop/logo.pcx"));
    ASSERT_TRUE(logo.open(QIODevice::ReadOnly));
    folder.write(QStringLiteral("LOGO.PCX"), logo.readAll());
    struct Case {
        bool driver;
        const char* earlier; // label settings kept from the format loaded before: "" none
        QByteArray file;
        const char* problems; // the start of each problem's line
    };
    const Case cases[] = {
        /* 0 */ {false, "60,40,2,4,8", "Box=1,2,700,4,5\nLabelGap=0", ""},
        /* 1 */
        {false, "", "Box=1,2,3,4,5",
         "E0 格式檔沒有這一行, 要設定標籤寬度\nE0 格式檔沒有這一行, 要設定標籤高度\n"
         "E0 格式檔沒有這一行, 要設定標籤間距\nE0 格式檔沒有這一行, 要設定列印速度\n"
         "E0 格式檔沒有這一行, 要設定列印濃度"},
        /* 2 */
        {false, "60,40,2,4,8", "PrintSpeed=0\nLabelWidth=60mm\nLabelGap=-1\nPrintDarken=7.5\nBox=1",
         "E1 列印速度 (英吋/秒) 不能小於 1\nE2 標籤寬度 (公釐) 必須是一個數字\n"
         "E3 標籤間距 (公釐) 不能小於 0\nE4 列印濃度 (DENSITY) 必須是整數\nE5 Box 需要 5 個以逗號"},
        /* 3 */
        {false, "abc,40,2,4,16", "Box=1,2,3,4,5",
         "E0 這個格式檔沒有這一行, 沿用前一個格式檔的值, 但標籤寬度 (公釐) 必須是一個數字\n"
         "E0 這個格式檔沒有這一行, 沿用前一個格式檔的值, 但列印濃度 (DENSITY) 不能大於 15"},
        /* 4 */
        {false, "60,40,2,4,8", "Line=10,20,30,40,50\nBox=-1,2,721,x,0",
         "E1 高度「40,50」不是數字\nE2 x 起點 -1 在標籤外 (不能小於 0)\n"
         "E2 x 終點 721 在標籤外: 標籤寬 60 公釐, 在 300 dpi 也只有 720 點\nE2 y 終點「x」\n"
         "E2 線寬必須大於 0"},
        /* 5 */
        {false, "60,40,2,4,8",
         "F_Text=1,2,24,0,0,40000,Arial,A\nV_Text=1,2,24,0,0,0,Arial,abc\n"
         "V_Barcode=18,206,XYZ,56,1,0,2,4,1\nF_Barcode=1,2,EAN13,50,1,0,2,4,4006381333932\n"
         "F_Barcode=1,2,128,50,1,0,2,4,\xa4\xa4\nF_Barcode=1,2,39,50,1,45,2,4,A-07",
         "E1 底線 40000 超出 -32768 到 32767\nE3 印表機不認得條碼類型 XYZ\n"
         "E4 條碼資料「4006381333932」無法編碼: 檢查碼錯誤\nE5 條碼資料「中」無法編碼\n"
         "E6 旋轉角度必須是 0, 90, 180 或 270"},
        /* 6 */
        {false, "60,40,2,4,8",
         "Graphic=1,1,NOPE.PCX\nGraphic=1,1,bad.pcx\nGraphic=1,1,sign.gif\nGraphic=1,1,wide.bmp\n"
         "Graphic=1,1,logo.pcx\nPDF417=30,10,200,200,0,E4,W3,H3,R0,C5,1\nDMATRIX=900,1,10,9,x6,1",
         "E1 在程式資料夾 \nE2 圖檔 bad.pcx 不是可以解讀的 PCX 圖檔\n"
         "W3 圖檔 sign.gif 會送到印表機, 但名稱不是以 PCX 或 BMP 結尾\nE4 圖檔 wide.bmp 有 800 x "
         "10 點, 大於標籤\n"
         "E7 x 座標 900 在標籤外"},
        /* 7 */
        {false, "60,40,2,4,8", "labelwidth=100\nhello\n  ' set-in comment\n'Box\n=1\nBox=1,2,3,4,5",
         "W1 不認得的關鍵字「labelwidth」, 這行沒有作用 (要寫成 LabelWidth\nW2 這行沒有「=」\n"
         "W5 這行在「=」前沒有關鍵字"},
        /* 8 */ {false, "60,40,2,4,8", "", "E0 格式檔沒有任何要印的元素"},
        /* 9 */
        {false, "60,40,2,4,8", "\x01\x02\n\x1a", "W1 這行沒有「=」\nE0 格式檔沒有任何要印的元素"},
        /* 10 */
        {true, "60,40,,,",
         "Box=43,43,3402,2225,3\nPrintSpeed=0\nLabelGap=x\nSetStripe=ON\n"
         "F_Barcode=10,20,39,A-07\nGraphic=0,0,8,8,LOGO.PCX",
         ""},
        /* 11 */
        {true, "", "Box=1,2,3,4,5",
         "E0 格式檔沒有這一行, 要設定標籤寬度\nE0 格式檔沒有這一行, 要設定標籤高度"},
        /* 12 */
        {true, "60,40,,,",
         "Box=43,43,3403,2225,3\nLine=10,10,200,10\nPDF417=1,2,3,4,5,6,7,8,9,10,1\n"
         "F_Barcode=10,20,Free 3 of "
         "9,*A*\nF_Text=481,20,12,0,0,Arial,A\nGraphic=0,0,61,20,LOGO.PCX\n"
         "V_Barcode=1,1,EAN13,1",
         "E1 x2 3403 在標籤外: 標籤寬 60 公釐, 只有 3402 twip\nE2 Line 需要 5 個\n"
         "E3 Driver 模式不印 PDF417\nE4 沒有條碼字型 Free 3 of 9\n"
         "E5 x 座標 481 在標籤外: 標籤寬 60 公釐, 只有 480 點\nE6 圖寬 61 公釐大於標籤的寬 60 "
         "公釐"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const QStringList earlier = QString::fromLatin1(c.earlier).split(u',');
        state.format.labelSettings = {};
        if (earlier.size() == 5)
            state.format.labelSettings = {earlier[0], earlier[1], earlier[2], earlier[3],
                                          earlier[4]};
        const QStringList found = problemsOf(c.driver, c.file).split(u'\n');
        const QStringList expected = QString::fromUtf8(c.problems).split(u'\n');
        ASSERT_EQ(found.size(), expected.size()) << "case " << i << ":\n"
                                                 << found.join(u'\n').toStdString();
        for (qsizetype k = 0; k < found.size(); ++k)
            EXPECT_TRUE(found[k].startsWith(expected[k]))
                << "case " << i << ": " << found[k].toStdString();
    }
}

TEST_F(FormatCheckTest, ExampleFormatsLoadClean) {
    const char* const formats[] = {"shop/PRICE.FMT", "shop/SHELF.FMT", "fixed/TAG.FMT",
                                   "shop/driver/PRICE.FMT", "shop/driver/SHELF.FMT"};
    for (const char* name : formats) {
        const QString path = QStringLiteral(PELMAR_SOURCE_DIR "/examples/") + name;
        state.programFolder = path.section(u'/', 0, -2);
        state.formatFileName = path.section(u'/', -1);
        const bool driver = path.contains(QStringLiteral("/driver/"));
        const FormatLoadResult result = driver ? format::LoadFormat_Driver(state, messages)
                                               : format::LoadFormat(state, messages);
        EXPECT_TRUE(result.problems.empty()) << name;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FormatCheckTest, ErrorsAreShownOnceWithEveryProblemAndTheFileName) {
    state.commandLine.clear();
    QByteArray file = "LabelWidth=60\nLabelHeight=40\nLabelGap=2\nPrintSpeed=4\nPrintDarken=8\n";
    for (int i = 0; i < 12; ++i)
        file += "Box=1,2,3\n";
    writeFormat(file + "Oops\n");
    const FormatLoadResult result = format::LoadFormat(state, messages);
    EXPECT_TRUE(result.failed);
    EXPECT_TRUE(result.endProgram);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "發生非預期錯誤");
    EXPECT_EQ(messages.shown[0].icon, common::MessageIcon::Critical);
    const QStringList lines = messages.shown[0].text.split(u'\r');
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines[0], "格式檔有 12 個錯誤, 沒有列印任何標籤:");
    EXPECT_EQ(lines[1], "第 6 行 Box=1,2,3: Box 需要 5 個以逗號分開的值 (x 起點, y 起點, x 終點, "
                        "y 終點, 線寬), 這行只有 3 個");
    EXPECT_EQ(lines[11], "另有 3 個問題未列出");
    EXPECT_EQ(lines[13], "格式檔名=TEST.FMT");
}

} // namespace
