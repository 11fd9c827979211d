#include "common/numbers.h"
#include "common/run_error.h"
#include "support/comma_locale.h"
#include "support/run_error_of.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>

using namespace pelmar::common;
using pelmar::test::runErrorNumberOf;

namespace {

// Every number of the files, the printer and the screen reads and writes alike under the
// desktop's locale and under one whose decimal separator is a comma.
class UnderLocale : public pelmar::test::UnderEachLocale {};
PELMAR_UNDER_EACH_LOCALE(UnderLocale);

struct LeadingCase {
    const char* text;
    double value;
};

TEST_P(UnderLocale, LeadingNumberReadsTheLongestNumericPrefix) {
    const LeadingCase cases[] = {
        {"12", 12},  {"  12.5abc", 12.5}, {"-3", -3}, {"+7x", 7}, {"abc", 0},          {"", 0},
        {".5", 0.5}, {"5.", 5},           {".", 0},   {"-", 0},   {"12,5", 12},        {"0,9", 0},
        {"\t12", 0}, {"- 5", 0},          {"1e3", 1}, {"007", 7}, {"  -0.25 ", -0.25}, {"12 3", 12},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(NumberText, IsOneNumberAndNothingElse) {
    for (const char16_t* yes : {u"3", u"-1", u"+2.5", u"5.", u".5", u"007"})
        EXPECT_TRUE(isNumberText(yes)) << QString::fromUtf16(yes).toStdString();
    for (const char16_t* no : {u"", u" 3", u"3 ", u".", u"-", u"1e3", u"3a", u"'1'"})
        EXPECT_FALSE(isNumberText(no)) << QString::fromUtf16(no).toStdString();
}

TEST(WholeNumbers, RoundHalvesToEvenAndRejectOverflow) {
    EXPECT_EQ(toInt16(12.5), 12);
    EXPECT_EQ(toInt16(13.5), 14);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(2.5000001), 3);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768), -32768);
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    for (double bad : {32767.5, -32768.6, 1e300})
        EXPECT_EQ(runErrorNumberOf([&] { toInt16(bad); }), 6) << bad;
    EXPECT_THROW(toInt32(2147483648.0), RunError);
    EXPECT_EQ(leadingInt16(QStringLiteral("12")), 12); // "Across=12" cut to one byte reads "1"
}

TEST_P(UnderLocale, StrictNumberAcceptsOnlyAWholeNumberText) {
    EXPECT_DOUBLE_EQ(strictNumber(u" 12 "), 12);
    EXPECT_DOUBLE_EQ(strictNumber(u"-1.5"), -1.5);
    EXPECT_DOUBLE_EQ(strictNumber(u"1E3"), 1000);
    for (const char16_t* bad : {u"", u"abc", u"12a", u"1 2", u"."})
        EXPECT_EQ(runErrorNumberOf([&] { strictNumber(bad); }), 13);
    EXPECT_THROW(strictInt16(u"40000"), RunError);
}

TEST_P(UnderLocale, DecimalTextsHaveNoLeadingBlankAndNoTrailingZeros) {
    EXPECT_EQ(decimalText(0), "0");
    EXPECT_EQ(decimalText(-5), "-5");
    EXPECT_EQ(shortestDecimal(17.5), "17.5");
    EXPECT_EQ(shortestDecimal(105), "105");
    EXPECT_EQ(shortestDecimal(12.5 + 5), "17.5");
    EXPECT_EQ(shortestDecimal(0.1 + 0.2), "0.3");
    EXPECT_EQ(shortestDecimal(-0.0), "0");
    EXPECT_EQ(shortestDecimal(-2.25), "-2.25");
    EXPECT_EQ(shortestDecimal(1e20), "1e+20");
    EXPECT_EQ(shortestDecimal(123456789.123456789), "123456789.123457");
}

struct DecimalCase {
    const char* text;
    std::optional<double> value;
};

TEST_P(UnderLocale, DecimalValueReadsOnlyDecimalNumbers) {
    const double inf = std::numeric_limits<double>::infinity();
    const DecimalCase cases[] = {
        {"12.50", 12.5},
        {"+3", 3},
        {"-0.5", -0.5},
        {"5.", 5},
        {".5", 0.5},
        {"1E3", 1000},
        {"2e-2", 0.02},
        {"1e400", inf},
        {"-1e400", -inf},
        {"1e-400", 0.0},
        {"123e307", inf},
        {"0.01e309", 1e307},
        {"0.01e311", inf},
        {"-0.0000e-999", -0.0},
        {"0.0001e-400", 0.0},
        {"", std::nullopt},
        {".", std::nullopt},
        {"12,5", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"0x10", std::nullopt},
        {"+-3", std::nullopt},
        {"--3", std::nullopt},
        {" 3", std::nullopt},
        {"1e", std::nullopt},
        {"3 ", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decimalValue(c.text), c.value) << c.text;
}

TEST_P(UnderLocale, NumbersBeyondADoubleOverflow) {
    // A quantity of four hundred digits is far too large, never 0.
    const QString huge = QStringLiteral("9").repeated(400);
    EXPECT_TRUE(std::isinf(leadingNumber(huge)));
    EXPECT_THROW(leadingInt16(huge), RunError);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("0.") + QStringLiteral("0").repeated(400) + u'1'),
                     0.0);
    EXPECT_DOUBLE_EQ(
        leadingNumber(QStringLiteral("000") + QStringLiteral("0").repeated(400) + u'7'), 7.0);
}

TEST(Blanks, AreSpacesOnly) {
    EXPECT_EQ(trimBlanks(u"  a b  "), "a b");
    EXPECT_EQ(trimBlanks(u"\ta\t"), "\ta\t");
}

} // namespace
