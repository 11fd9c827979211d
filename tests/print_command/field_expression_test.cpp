#include "print_command/field_expression.h"

#include "print_command/label_refused.h"
#include "support/run_error_of.h"

#include <gtest/gtest.h>

namespace pelmar::print_command {
namespace {

state::WorkingState fourFields() {
    state::WorkingState state;
    state.fieldCount = 4;
    state.recordCount = 1;
    state.records.recreate(2, 5);
    state.records.set(1, 1, QStringLiteral("A001"));
    state.records.set(1, 2, QStringLiteral("Bolt"));
    state.records.set(1, 3, QStringLiteral("12.50"));
    state.records.set(1, 4, QStringLiteral("3"));
    return state;
}

struct ContentCase {
    const char* expression;
    const char16_t* expected;
};

TEST(ResolveContent, SelectsFieldsAndJoinsParts) {
    const state::WorkingState state = fourFields();
    const ContentCase cases[] = {
        {"9", u"3"},                     // capped at FieldCount
        {"0", u""},                      // the empty column 0
        {"abc", u""},                    // no number: column 0
        {"", u""},                       //
        {"2", u"Bolt"},                  //
        {" 2.5", u"Bolt"},               // halves to even
        {"3.5", u"3"},                   //
        {"1.6xyz", u"Bolt"},             // the leading number counts
        {"-0.4", u""},                   // rounds to 0
        {"1+2", u"A001Bolt"},            //
        {"1+VBCRLF+2", u"A001\r\nBolt"}, //
        {"1+vbcr+vbLf+VbTab+2", u"A001\r\n\tBolt"},
        {"\"Lot: \"+3", u"Lot: 12.50"}, // the blank inside the quotes stays
        {"ABC+1", u"BA001"},            // three or more characters lose both ends
        {"x+ab+1", u"xabA001"},         // one or two characters as they are
        {"1++2+", u"A001Bolt"},         // empty parts yield nothing
        {" 4 + 1 ", u"3A001"},          // parts are trimmed
        {"9+1", u"3A001"},              // a numeric part is capped too
        {"3a+1", u"3aA001"},            // not a number: two characters as they are
        {"99999999999+1", u"3A001"},    // no overflow for a huge field number
    };
    for (const ContentCase& c : cases)
        EXPECT_EQ(ResolveContent(state, QString::fromUtf8(c.expression), 1),
                  QString::fromUtf16(c.expected))
            << c.expression;
}

TEST(ResolveContent, PriceRuleOnlyForNumericPartsOfExpressions) {
    state::WorkingState state = fourFields();
    state.editPrice = 1;
    state.editPriceField = 3;
    state.adPrice = 10;
    EXPECT_EQ(ResolveContent(state, QStringLiteral("3"), 1), QStringLiteral("12.50"));
    EXPECT_EQ(ResolveContent(state, QStringLiteral("3+"), 1), QStringLiteral("22.5"));
    EXPECT_EQ(ResolveContent(state, QStringLiteral("\"$\"+3"), 1), QStringLiteral("$22.5"));
    EXPECT_EQ(ResolveContent(state, QStringLiteral("2+"), 1), QStringLiteral("Bolt"));

    // A price that is no number is refused, never adjusted into a price of its own.
    const struct {
        const char* price;
        int adPrice;
        const char* adjusted; // nullptr: refused
    } prices[] = {
        {"100", 5, "105"},      {"12.50", 5, "17.5"}, {"12.5", -20, "-7.5"}, {" +12. ", 5, "17"},
        {".5", 5, "5.5"},       {"N/A", 5, nullptr},  {"1e3", 5, nullptr},   {"0x20", 5, nullptr},
        {"12.5.6", 5, nullptr}, {"", 5, nullptr},     {"12abc", 5, nullptr}, {".", 5, nullptr},
    };
    for (const auto& c : prices) {
        state.adPrice = c.adPrice;
        state.records.set(1, 3, QString::fromUtf8(c.price));
        try {
            EXPECT_EQ(ResolveContent(state, QStringLiteral("1+3"), 1),
                      QStringLiteral("A001") + QString::fromUtf8(c.adjusted))
                << c.price;
            EXPECT_TRUE(c.adjusted) << c.price << ": not refused";
        } catch (const LabelRefused& refused) {
            EXPECT_FALSE(c.adjusted) << c.price << ": refused";
            EXPECT_EQ(refused.reason(),
                      QStringLiteral("售價欄位 3 的內容「%1」不是數字, 無法調整售價").arg(c.price));
        }
    }
    state.records.set(1, 3, QStringLiteral("12.5"));

    state.editPrice = 0;
    EXPECT_EQ(ResolveContent(state, QStringLiteral("3+"), 1), QStringLiteral("12.5"));
}

TEST(ResolveContent, PriceOverflowIsError6) {
    state::WorkingState state = fourFields();
    state.editPrice = 1;
    state.editPriceField = 3;
    state.records.set(1, 3, QString(400, u'9'));
    EXPECT_EQ(test::runErrorNumberOf([&] { ResolveContent(state, QStringLiteral("3+"), 1); }),
              common::Overflow);
}

TEST(ResolveContent, FieldNumberBelowZeroFails) {
    const state::WorkingState state = fourFields();
    for (const char* expression : {"-1", "-1+2", "1+-3", "-0.6"})
        EXPECT_EQ(test::runErrorNumberOf(
                      [&] { ResolveContent(state, QString::fromUtf8(expression), 1); }),
                  common::InvalidArgument)
            << expression;
}

TEST(ResolveContent, RecordOutsideTheTableIsEmpty) {
    const state::WorkingState state = fourFields();
    EXPECT_EQ(ResolveContent(state, QStringLiteral("2"), 0), QString());
    EXPECT_EQ(ResolveContent(state, QStringLiteral("2"), 7), QString());
    EXPECT_EQ(ResolveContent(state, QStringLiteral("\"ab\"+2"), 7), QStringLiteral("ab"));
}

} // namespace
} // namespace pelmar::print_command
