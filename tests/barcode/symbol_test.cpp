#include "barcode/symbol.h"

#include <gtest/gtest.h>

namespace pelmar::barcode {
namespace {

// Data a symbology cannot hold gives the encoder's reason and no modules.
TEST(Symbol, BadDataIsAnErrorWithAReason) {
    struct Case {
        LinearOptions options;
        const char* data;
    } cases[] = {
        {{Symbology::Ean}, "ABC"},
        {{Symbology::Ean, false, true}, "4006381333932"}, // wrong check digit
        {{Symbology::UpcA}, "12345678901234"},
        {{Symbology::Interleaved2Of5}, "12A4"},
        {{Symbology::Gs1_128}, "12345"}, // no application identifier
        {{Symbology::Code128Manual}, "!105123"},
        {{Symbology::Code128}, ""},
    };
    for (const Case& c : cases) {
        const Symbol symbol = encodeLinear(c.options, c.data);
        EXPECT_FALSE(symbol.ok()) << c.data;
        EXPECT_FALSE(symbol.error.isEmpty()) << c.data;
        EXPECT_FALSE(symbol.outOfMemory) << c.data;
        EXPECT_TRUE(symbol.modules.empty()) << c.data;
    }
    const Symbol wrongSize = encodeDataMatrix({11, 11, false}, "1");
    EXPECT_EQ(wrongSize.error, QStringLiteral("no Data Matrix symbol has 11 rows and 11 columns"));
}

TEST(Symbol, EanWithItsCheckDigitIsTheSameSymbol) {
    const Symbol without = encodeLinear({Symbology::Ean}, "400638133393");
    const Symbol with = encodeLinear({Symbology::Ean, false, true}, "4006381333931");
    ASSERT_TRUE(without.ok() && with.ok());
    EXPECT_EQ(without.columns, 95);
    EXPECT_EQ(with.modules, without.modules);
}

// GS1 application identifiers in parentheses or in square brackets.
TEST(Symbol, Gs1DataTakesParenthesesOrBrackets) {
    const Symbol parens = encodeLinear({Symbology::Gs1_128}, "(01)04012345123456(10)A1");
    const Symbol brackets = encodeLinear({Symbology::Gs1_128}, "[01]04012345123456[10]A1");
    ASSERT_TRUE(parens.ok()) << parens.error.toStdString();
    ASSERT_TRUE(brackets.ok()) << brackets.error.toStdString();
    EXPECT_EQ(parens.modules, brackets.modules);
}

// Driver text comes as UTF-8, printer data as code page bytes; one character, one symbol.
TEST(Symbol, Utf8TextAndLatin1BytesEncodeAlike) {
    LinearOptions utf8{Symbology::Code128};
    utf8.kind = DataKind::Utf8;
    const Symbol fromText = encodeLinear(utf8, QStringLiteral("Caf\u00e9").toUtf8());
    const Symbol fromBytes = encodeLinear({Symbology::Code128}, "Caf\xe9");
    ASSERT_TRUE(fromText.ok() && fromBytes.ok());
    EXPECT_EQ(fromText.modules, fromBytes.modules);
}

TEST(Symbol, MatrixSymbolsHaveTheirModuleCounts) {
    const Symbol qr = encodeQrCode('H', "PELMAR");
    ASSERT_TRUE(qr.ok());
    EXPECT_EQ(qr.rows, 21); // version 1
    EXPECT_EQ(qr.columns, 21);
    EXPECT_TRUE(qr.dark(0, 0)); // finder pattern corner
    const Symbol dm = encodeDataMatrix({8, 32, true}, "12");
    ASSERT_TRUE(dm.ok());
    EXPECT_EQ(dm.rows, 8);
    EXPECT_EQ(dm.columns, 32);
    const Symbol pdf = encodePdf417({2, 3, 0, false}, "PELMAR");
    ASSERT_TRUE(pdf.ok());
    EXPECT_GE(pdf.rows, 3);
    EXPECT_EQ(static_cast<size_t>(pdf.rows * pdf.columns), pdf.modules.size());
}

} // namespace
} // namespace pelmar::barcode
