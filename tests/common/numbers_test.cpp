#include "common/numbers.h"
#include "common/run_error.h"

#include <gtest/gtest.h>

using namespace pelmar::common;

namespace {

struct LeadingCase {
    const char* text;
    double value;
};

TEST(LeadingNumber, ReadsTheLongestNumericPrefix) {
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
    for (double bad : {32767.5, -32768.6, 1e300}) {
        try {
            toInt16(bad);
            FAIL() << bad;
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), 6);
        }
    }
    EXPECT_THROW(toInt32(2147483648.0), RunError);
    EXPECT_EQ(leadingInt16(QStringLiteral("12")), 12); // "Across=12" cut to one byte reads "1"
}

TEST(StrictNumber, AcceptsOnlyAWholeNumberText) {
    EXPECT_DOUBLE_EQ(strictNumber(u" 12 "), 12);
    EXPECT_DOUBLE_EQ(strictNumber(u"-1.5"), -1.5);
    EXPECT_DOUBLE_EQ(strictNumber(u"1E3"), 1000);
    for (const char16_t* bad : {u"", u"abc", u"12a", u"1 2", u"."}) {
        try {
            strictNumber(bad);
            FAIL();
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), 13);
        }
    }
    EXPECT_THROW(strictInt16(u"40000"), RunError);
}

TEST(DecimalTexts, HaveNoLeadingBlankAndNoTrailingZeros) {
    EXPECT_EQ(decimalText(0), "0");
    EXPECT_EQ(decimalText(-5), "-5");
    EXPECT_EQ(shortestDecimal(17.5), "17.5");
    EXPECT_EQ(shortestDecimal(105), "105");
    EXPECT_EQ(shortestDecimal(12.5 + 5), "17.5");
    EXPECT_EQ(shortestDecimal(0.1 + 0.2), "0.3");
    EXPECT_EQ(shortestDecimal(-0.0), "0");
}

TEST(Blanks, AreSpacesOnly) {
    EXPECT_EQ(trimBlanks(u"  a b  "), "a b");
    EXPECT_EQ(trimBlanks(u"\ta\t"), "\ta\t");
    EXPECT_EQ(trimTrailingBlanks(u" a \n "), " a \n");
}

} // namespace
