#include "barcode/code128_manual.h"

#include "barcode/symbol.h"

#include <gtest/gtest.h>

namespace pelmar::barcode {
namespace {

TEST(Code128Manual, EscapesChooseStartSubsetsAndFunctions) {
    struct Case {
        const char* data;
        std::vector<int> values;
    } cases[] = {
        {"", {104}},                                      // no start code: subset B
        {"AB", {104, 33, 34}},                            // letters in B
        {"!104AB", {104, 33, 34}},                        // the explicit start B is the same symbol
        {"!103AB", {103, 33, 34}},                        // A
        {"!105123456", {105, 12, 34, 56}},                // C takes digit pairs
        {"!103\x01", {103, 65}},                          // control characters only in A
        {"!104A!09912!100a", {104, 33, 99, 12, 100, 65}}, // CODE C, back to CODE B
        {"!105!10112", {105, 101, 17, 18}},               // C to CODE A
        {"!103A!098a", {103, 33, 98, 65}},                // SHIFT takes one character from B
        {"!102!105", {104, 102, 105}},  // only the first escape can start the symbol
        {"A!1", {104, 33, 1, 17}},      // "!" without three digits is a character
        {"!999", {104, 1, 25, 25, 25}}, // so is an escape above 106
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(code128ManualValues(c.data, &error), c.values) << c.data;
        EXPECT_TRUE(error.isEmpty()) << c.data;
    }
}

TEST(Code128Manual, RefusesWhatItsSubsetCannotHold) {
    for (const char* data : {"!105123", "!1051A", "!103abc", "\x01", "\xe9"}) {
        QString error;
        EXPECT_TRUE(code128ManualValues(data, &error).empty()) << data;
        EXPECT_FALSE(error.isEmpty()) << data;
        const Symbol symbol = code128ManualSymbol(data);
        EXPECT_FALSE(symbol.ok()) << data;
        EXPECT_EQ(symbol.columns, 0) << data;
    }
}

// Start, data, check value (start + sum of position x value, modulo 103) and stop.
TEST(Code128Manual, SymbolEndsInCheckValueAndStop) {
    const Symbol symbol = code128ManualSymbol("!105123456!100x");
    ASSERT_TRUE(symbol.ok());
    // 105 + 1*12 + 2*34 + 3*56 + 4*100 + 5*88 = 1193; 1193 % 103 = 60.
    QString expected;
    for (const int v : {105, 12, 34, 56, 100, 88, 60, 106}) {
        bool bar = true;
        for (const char* p = code128Pattern(v); *p; ++p, bar = !bar)
            expected += QString(*p - '0', bar ? u'1' : u'0');
    }
    QString modules;
    for (int col = 0; col < symbol.columns; ++col)
        modules += symbol.dark(0, col) ? u'1' : u'0';
    EXPECT_EQ(symbol.rows, 1);
    EXPECT_EQ(modules, expected);
    EXPECT_EQ(symbol.text, QStringLiteral("123456x"));
}

// Without escapes "128M" is the subset B symbol that plain Code 128 gives for letters.
TEST(Code128Manual, MatchesPlainCode128InSubsetB) {
    const std::pair<const char*, const char*> cases[] = {
        {"ABC", "ABC"}, {"Pelmar x", "Pelmar x"}, {"!104x", "x"}};
    for (const auto& [manualData, plainData] : cases) {
        const Symbol manual = encodeLinear({Symbology::Code128Manual}, manualData);
        const Symbol plain = encodeLinear({Symbology::Code128}, plainData);
        ASSERT_TRUE(manual.ok() && plain.ok()) << manualData;
        EXPECT_EQ(manual.modules, plain.modules) << manualData;
    }
}

TEST(Code128Manual, PatternsCoverEveryValue) {
    for (int v = 0; v <= 105; ++v) {
        int modules = 0;
        for (const char* p = code128Pattern(v); *p; ++p)
            modules += *p - '0';
        EXPECT_EQ(modules, 11) << v;
    }
    EXPECT_STREQ(code128Pattern(106), "2331112");
    EXPECT_STREQ(code128Pattern(107), "");
    EXPECT_STREQ(code128Pattern(-1), "");
}

} // namespace
} // namespace pelmar::barcode
