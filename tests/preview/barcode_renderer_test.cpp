#include "preview/barcode_renderer.h"

#include "preview/text_renderer.h"
#include "render_helpers.h"
#include "support/barcode_reader.h"

#include <gtest/gtest.h>

namespace pelmar::preview {
namespace {

using test::labelHead;
using test::render;

struct DecodeCase {
    const char* type;
    const char* content;
    int narrow;
    const char* expected;
};

// Rendered bars read back from the label picture give the data again.
TEST(BarcodeTest, Code128BarsDecodeToTheirData) {
    const DecodeCase cases[] = {
        {"128", "PELMAR-42", 2, "PELMAR-42"},
        {"128", "1234567890", 1, "1234567890"},
        {"128", "ab12cd", 3, "ab12cd"},
        // Manual subsets: no start code starts in B; !105 starts in C; !099/!100/!101 switch.
        {"128M", "ABC", 2, "ABC"},
        {"128M", "!105123456", 2, "123456"},
        {"128M", "!104AB!099123456!100xy", 2, "AB123456xy"},
        {"128M", "!103AB!098c", 2, "ABc"},
        {"128M", "!10412!00110534", 2, "12!10534"}, // "!" of the data as its own value
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.content);
        const QByteArray stream =
            labelHead() + "BARCODE 8,20,\"" + c.type + "\",60,0,0," + QByteArray::number(c.narrow) +
            "," + QByteArray::number(c.narrow * 2) + ",\"" + c.content + "\"\r\nPRINT 1\r\n";
        const test::Rendered out = render(stream);
        ASSERT_EQ(out.labels.size(), 1u);
        EXPECT_TRUE(out.warnings.isEmpty()) << out.warnings.join('\n').toStdString();
        const std::vector<int> runs = test::scanRuns(out.labels[0], 50);
        ASSERT_FALSE(runs.empty());
        EXPECT_EQ(runs[0] % c.narrow, 0);
        EXPECT_EQ(test::readCode128(runs).value_or("<unreadable>"), QByteArray(c.expected));
    }
}

TEST(BarcodeTest, Ean13DecodesWithItsCheckDigit) {
    const test::Rendered out =
        render(labelHead() + "BARCODE 20,20,\"EAN13\",60,0,0,2,4,\"400638133393\"\r\n"
                             "PRINT 1\r\n");
    ASSERT_EQ(out.labels.size(), 1u);
    const std::vector<int> runs = test::scanRuns(out.labels[0], 40);
    EXPECT_EQ(test::readEan13(runs).value_or("<unreadable>"), QByteArray("4006381333931"));
    // 95 modules of 2 dots.
    int width = 0;
    for (const int r : runs)
        width += r;
    EXPECT_EQ(width, 190);
}

// Our Code 128 table for "128M" draws exactly what zint draws for the same subset B symbol.
TEST(BarcodeTest, ManualCode128MatchesZintForSubsetB) {
    TextRenderer text;
    for (const char* content : {"ABC", "Pelmar x", "x"}) {
        BarcodeRequest manual{"128M", content, 30, 0, 2, 4};
        BarcodeRequest automatic{"128", content, 30, 0, 2, 4};
        // zint chooses subset C for digit runs, so only contents it keeps in B are compared.
        const SymbolResult a = renderBarcode(manual, text);
        const SymbolResult b = renderBarcode(automatic, text);
        ASSERT_TRUE(a.error.isEmpty());
        ASSERT_TRUE(b.error.isEmpty());
        EXPECT_EQ(a.bitmap.width, b.bitmap.width) << content;
        EXPECT_EQ(a.bitmap.dots, b.bitmap.dots) << content;
    }
}

TEST(BarcodeTest, TwoWidthSymbologiesUseNarrowAndWideDots) {
    TextRenderer text;
    for (const char* type : {"39S", "25", "CODA", "ITF14"}) {
        SCOPED_TRACE(type);
        const QByteArray content = QByteArray(type) == "CODA" ? "A123B" : "1234567890123";
        const SymbolResult r = renderBarcode({type, content, 20, 0, 3, 7}, text);
        ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
        int run = 0;
        for (int x = 0; x <= r.bitmap.width; ++x) {
            const bool same =
                x < r.bitmap.width && x > 0 && r.bitmap.at(x, 0) == r.bitmap.at(x - 1, 0);
            if (x > 0 && !same) {
                EXPECT_TRUE(run == 3 || run == 7) << "run of " << run << " dots";
                run = 0;
            }
            ++run;
        }
    }
}

TEST(BarcodeTest, ReadableTextGoesBelowTheBars) {
    TextRenderer text;
    const SymbolResult plain = renderBarcode({"128", "A1", 40, 0, 2, 4}, text);
    const SymbolResult readable = renderBarcode({"128", "A1", 40, 2, 2, 4}, text);
    EXPECT_EQ(plain.bitmap.height, 40);
    EXPECT_GT(readable.bitmap.height, 40);
    int inkBelow = 0;
    for (int y = 40; y < readable.bitmap.height; ++y)
        for (int x = 0; x < readable.bitmap.width; ++x)
            inkBelow += readable.bitmap.at(x, y);
    EXPECT_GT(inkBelow, 0);
}

TEST(BarcodeTest, BadTypesAndContentsAreErrorsNotPictures) {
    TextRenderer text;
    struct Case {
        const char* type;
        const char* content;
    } cases[] = {{"NOPE", "1"}, {"EAN13", "ABC"}, {"CPOST", "123"}, {"EAN13+2", "1"}};
    for (const Case& c : cases) {
        const SymbolResult r = renderBarcode({c.type, c.content, 40, 0, 2, 4}, text);
        EXPECT_FALSE(r.error.isEmpty()) << c.type;
        EXPECT_TRUE(r.bitmap.isEmpty()) << c.type;
    }
    EXPECT_TRUE(isKnownBarcodeType("ean13+5"));
    EXPECT_FALSE(isKnownBarcodeType("QR"));
}

// Every row x column size DMATRIX accepts gives a symbol of exactly that size.
TEST(BarcodeTest, DataMatrixSizesMatchTheirRowsAndColumns) {
    const int sizes[][2] = {{10, 10}, {24, 24}, {52, 52}, {144, 144}, {8, 18},
                            {8, 32},  {12, 26}, {12, 36}, {16, 36},   {16, 48}};
    for (const auto& s : sizes) {
        DataMatrixRequest request;
        request.content = "1";
        request.moduleSize = 1;
        request.rows = s[0];
        request.columns = s[1];
        request.rectangle = s[0] != s[1];
        const SymbolResult r = renderDataMatrix(request);
        ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
        EXPECT_EQ(r.bitmap.height, s[0]);
        EXPECT_EQ(r.bitmap.width, s[1]);
    }
    DataMatrixRequest wrong;
    wrong.content = "1";
    wrong.rows = 11;
    wrong.columns = 11;
    EXPECT_FALSE(renderDataMatrix(wrong).error.isEmpty());
}

TEST(BarcodeTest, HugeModulesAreRefusedBeforeAllocating) {
    Pdf417Request pdf;
    pdf.content = QByteArray(1000, 'x');
    pdf.moduleWidth = 20;
    pdf.rowHeight = 200;
    EXPECT_FALSE(renderPdf417(pdf).error.isEmpty());
}

} // namespace
} // namespace pelmar::preview
