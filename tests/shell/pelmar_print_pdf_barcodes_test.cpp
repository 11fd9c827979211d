// pelmar-print's PDF file in driver mode, rasterised as a label driver does at the printer's
// resolution (pdftoppm) and read back with a barcode scanner (zbarimg): every barcode font scans
// with its content at 203 dpi, and at 300 dpi with --resolution 300. A value its font refuses
// in the middle of a run stops the run there with the Chinese message and keeps the labels before.
#include "support/pdf_scan.h"
#include "support/pelmar_print_run.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

using pelmar::test::rasterise;
using pelmar::test::scan;
using pelmar::test::TempFolder;

struct Font {
    const char* font;
    const char* data;
    const char* scanned; // zbarimg's "SYMBOLOGY:content"
};

// Every barcode font that driver mode accepts, by its printer name.
constexpr Font kFonts[] = {
    {"39", "PELMAR-39", "CODE-39:PELMAR-39"},
    {"39C", "A-07", "CODE-39:A-07A"}, // the mod-43 check character follows the data
    {"39S", "SHELF A-07", "CODE-39:SHELF A-07"},
    {"93", "PELMAR-93", "CODE-93:PELMAR-93"},
    {"128", "Pelmar-128", "CODE-128:Pelmar-128"},
    {"128M", "!105123456!100x", "CODE-128:123456x"},
    {"EAN128", "(01)04710088410016", "CODE-128:0104710088410016"},
    {"EAN13", "471008841001", "EAN-13:4710088410016"},
    {"EAN8", "4710088", "EAN-8:47100886"},
    // The scanner reports UPC symbols as the EAN-13 numbers they stand for.
    {"UPCA", "01234567890", "EAN-13:0012345678905"},
    {"UPCE", "0123456", "EAN-13:0012345000065"}, // 0123456 with check 5, expanded
    {"25", "12345678", "I2/5:12345678"},
    {"25C", "1234567", "I2/5:12345670"},
    {"CODA", "A123456B", "Codabar:A123456B"},
};

QByteArray settings(const char* format) {
    return "[Files]\r\nCodePage=UTF-8\r\nTextFileName=items.txt\r\nLabelCount=1\r\nLabelName01=" +
           QByteArray(format) +
           "\r\n[Printer]\r\nPrintMode=1\r\nPrinterName=TSC PDF\r\n[Ports]\r\n"
           "TSC PDF=preview:out\r\n[Label]\r\nAcross=1\r\n[Fields]\r\nFieldCutIndex=0\r\n"
           "Delimiter=,\r\nEditPrice=0\r\nFieldCount=2\r\nField01=CODE,0,13,1,0\r\n"
           "Field02=QTY,0,3,1,0\r\n";
}

// One barcode of each font under the other, 24 points tall (the size of a fresh page), with a
// quiet zone of 40 dots to their left.
QByteArray everyFontFormat() {
    QByteArray format = "LabelWidth=100\r\nLabelHeight=200\r\n";
    int y = 40;
    for (const Font& f : kFonts) {
        format += "F_Barcode=40," + QByteArray::number(y) + ',' + f.font + ',' + f.data + "\r\n";
        y += 110;
    }
    return format;
}

TEST(PdfBarcodes, EveryFontScansAfterRasterisingAtThePrintersResolution) {
    QStringList expected;
    for (const Font& f : kFonts)
        expected << QString::fromUtf8(f.scanned);
    expected.sort();
    for (const int dpi : {203, 300}) {
        TempFolder home;
        home.write(QStringLiteral("Pelmar.INI"), settings("BARS.FMT"));
        home.write(QStringLiteral("BARS.FMT"), everyFontFormat());
        home.write(QStringLiteral("items.txt"), "1,1\r\n");
        const QString pdf = home.file(QStringLiteral("bars.pdf"));
        QStringList arguments{QStringLiteral("--output"), pdf};
        if (dpi != 203)
            arguments << QStringLiteral("--resolution") << QString::number(dpi);
        const pelmar::test::ToolRun run = pelmar::test::runPelmarPrint(home.path(), arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QStringList pages = rasterise(pdf, dpi, home.path());
        ASSERT_EQ(pages.size(), 1) << dpi;
        EXPECT_EQ(scan(pages[0]), expected) << dpi << " dpi";
    }
}

TEST(PdfBarcodes, RefusedValueMidRunStopsThereWithTheChineseMessage) {
    TempFolder home;
    home.write(QStringLiteral("Pelmar.INI"), settings("EAN.FMT"));
    home.write(QStringLiteral("EAN.FMT"),
               "LabelWidth=60\r\nLabelHeight=30\r\nV_Barcode=40,40,EAN13,1\r\n");
    home.write(QStringLiteral("items.txt"),
               "4710088410016,2\r\n4710088410013,1\r\n4710088410023,1\r\n");
    const QString pdf = home.file(QStringLiteral("ean.pdf"));
    const pelmar::test::ToolRun run =
        pelmar::test::runPelmarPrint(home.path(), {QStringLiteral("--output"), pdf});
    EXPECT_EQ(run.exitCode, 3) << run.err.toStdString(); // the data's fault
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("第 2 筆資料, 格式檔 EAN.FMT 第 3 行 (V_Barcode): 條碼資料無法編碼 "
                       "(EAN13): 檢查碼錯誤: 最後一位是 3, 應為 6")))
        << run.err.toStdString();
    // The first record's two copies are in the file; nothing of the others.
    const QStringList pages = rasterise(pdf, 203, home.path());
    ASSERT_EQ(pages.size(), 2);
    for (const QString& page : pages)
        EXPECT_EQ(scan(page), QStringList{QStringLiteral("EAN-13:4710088410016")});
}

} // namespace
