#include "data/field_cutter.h"

#include "common/run_error.h"
#include "state/working_state.h"

#include <gtest/gtest.h>

using namespace pelmar;

namespace {

TEST(CountDelimiters, EachSearchContinuesAfterTheFind) {
    const struct {
        const char16_t* text;
        const char16_t* delimiter;
        int count;
    } cases[] = {
        {u"A,1,2", u",", 2}, {u",,,", u",", 3}, {u"", u",", 0},      {u"A,1", u"", 0},
        {u";;;", u";;", 1},  {u"a|b", u"|", 1}, {u"中,文", u",", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(data::countDelimiters(QStringView(c.text), QStringView(c.delimiter)), c.count)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(LimitWidth, CountsCodePageBytes) {
    const struct {
        QString value;
        int width;
        QString kept;
    } cases[] = {
        {QStringLiteral("AB中文"), -2, QStringLiteral("AB中文")},
        // A character the code page lacks is written as "?" (one byte).
        {QStringLiteral("é中"), 1, QStringLiteral("é")},
        // A character outside the basic plane is one character, never half a surrogate pair.
        {QString::fromUcs4(U"A\U0001F600B"), 2, QString::fromUcs4(U"A\U0001F600")},
        // A zero character counts 2.
        {QString(QChar(0)) + u'A', 2, QString(QChar(0))},
    };
    common::CodePage big5;
    data::CharacterWidths widths(big5);
    for (const auto& c : cases)
        EXPECT_EQ(data::limitWidth(c.value, c.width, widths).toString(), c.kept)
            << c.value.toStdString() << " width " << c.width;
}

TEST(DelimiterCutter, MultiCharacterDelimiterIsSkippedWhole) {
    state::WorkingState state;
    state.fieldCount = 2;
    state.field.recreate(3, 5);
    state.delimiter = QStringLiteral("||");
    data::DelimiterCutter cutter(state, u"A||1");
    state::TextTable records(2, 3);
    cutter.cut(u"X||Y||Z", records, 1);
    EXPECT_EQ(records.at(1, 1), QStringLiteral("X"));
    EXPECT_EQ(records.at(1, 2), QStringLiteral("Y"));
}

TEST(FieldDefinition, OverflowIsRaisedOnlyWhenUsed) {
    state::TextTable field(2, 5);
    field.set(1, 1, QStringLiteral("99999"));
    field.set(1, 2, QStringLiteral("12.5"));
    field.set(1, 3, QStringLiteral(" 1xyz"));
    const data::FieldDefinition definition = data::fieldDefinition(field, 1);
    EXPECT_THROW(definition.start.get(), common::RunError);
    EXPECT_EQ(definition.width.get(), 12); // halves go to the even neighbour
    EXPECT_EQ(definition.eraseBlanks.get(), 1);
    EXPECT_EQ(definition.eraseDecimals.get(), 0);
}

} // namespace
