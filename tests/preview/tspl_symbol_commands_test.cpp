#include "preview/barcode_renderer.h"

#include "render_helpers.h"

#include <gtest/gtest.h>

namespace pelmar::preview {
namespace {

// The length option reads exactly m bytes, whatever they are, however the stream is cut.
TEST(SymbolContentTest, Pdf417LengthOptionCarriesAnyBytes) {
    const QByteArray content("x\r\nPRINT 5\r\n\"CLS\",", 19);
    const QByteArray stream = test::labelHead() + "PDF417 10,10,300,150,0,W2,L" +
                              QByteArray::number(content.size()) + ',' + content +
                              "\r\nPRINT 1\r\n";
    Pdf417Request reference;
    reference.content = content;
    reference.moduleWidth = 2;
    for (const qsizetype chunk : {0, 1, 5}) {
        const test::Rendered out = test::render(stream, 203, chunk);
        EXPECT_TRUE(out.warnings.isEmpty()) << out.warnings.join('\n').toStdString();
        ASSERT_EQ(out.labels.size(), 1u) << "chunk " << chunk;
        EXPECT_TRUE(test::showsSymbol(out.labels[0], renderPdf417(reference), 10, 10));
    }
}

TEST(SymbolContentTest, Pdf417LengthOptionFaults) {
    struct Case {
        QByteArray stream;
        const char* warning;
        size_t labels;
    };
    const Case cases[] = {
        {"PDF417 10,10,300,150,0,L3,abcdef\r\nPRINT 1\r\n", "after the content", 1},
        {"PDF417 10,10,300,150,0,L0,\"abc\"\r\nPRINT 1\r\n", "not 1 to 2048", 1},
        {"PDF417 10,10,300,150,0,L9,abc", "ends inside PDF417 data", 0},
    };
    for (const Case& c : cases) {
        const test::Rendered out = test::render(test::labelHead() + c.stream);
        EXPECT_TRUE(out.warnings.join('\n').contains(QString::fromUtf8(c.warning)))
            << out.warnings.join('\n').toStdString();
        EXPECT_EQ(out.labels.size(), c.labels) << c.warning;
    }
}

TEST(SymbolContentTest, DataMatrixEscapeCharacterGivesControlCodes) {
    const test::Rendered out = test::render(
        test::labelHead() + "DMATRIX 10,10,120,120,c126,x4,\"A~~~M~JB\"\r\nPRINT 1\r\n");
    EXPECT_TRUE(out.warnings.isEmpty()) << out.warnings.join('\n').toStdString();
    ASSERT_EQ(out.labels.size(), 1u);
    DataMatrixRequest reference;
    reference.content = "A~\r\nB";
    reference.moduleSize = 4;
    reference.area = 120;
    EXPECT_TRUE(test::showsSymbol(out.labels[0], renderDataMatrix(reference), 10, 10));

    // Without c# a ~ is data like any other byte.
    const test::Rendered plain =
        test::render(test::labelHead() + "DMATRIX 10,10,120,120,x4,\"A~J\"\r\nPRINT 1\r\n");
    reference.content = "A~J";
    ASSERT_EQ(plain.labels.size(), 1u);
    EXPECT_TRUE(test::showsSymbol(plain.labels[0], renderDataMatrix(reference), 10, 10));
}

} // namespace
} // namespace pelmar::preview
