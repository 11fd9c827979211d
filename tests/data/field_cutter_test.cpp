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
    data::DelimiterCutter cutter(state, u"A||1||2", 1);
    state::TextTable records(2, 3);
    cutter.cut(QStringLiteral("X||Y||Z"), records, 1);
    EXPECT_EQ(records.at(1, 1), QStringLiteral("X"));
    EXPECT_EQ(records.at(1, 2), QStringLiteral("Y"));
}

// Cuts line into two fields at ","; field 1 has the given width and erase flags.
state::TextTable cutTwoFields(const QString& line, const QString& width,
                              const QString& eraseBlanks = QStringLiteral("0"),
                              const QString& eraseDecimals = QStringLiteral("0")) {
    state::WorkingState state;
    state.fieldCount = 2;
    state.delimiter = QStringLiteral(",");
    state.field.recreate(3, 5);
    state.field.set(1, 2, width);
    state.field.set(1, 3, eraseBlanks);
    state.field.set(1, 4, eraseDecimals);
    data::DelimiterCutter cutter(state, line, 1);
    state::TextTable records(2, 3);
    cutter.cut(line, records, 1);
    return records;
}

TEST(DelimiterCutter, WidthLimitAndErasingEndTheFirstField) {
    const struct {
        QString line;
        QString width, eraseBlanks, eraseDecimals;
        QString first;
    } cases[] = {
        {QStringLiteral("AB中文,1"), "-2", "0", "0", QStringLiteral("AB中文")},
        {QStringLiteral("AB中文,1"), "0", "0", "0", QStringLiteral("AB中文")},
        {QStringLiteral("AB中文,1"), "3", "0", "0", QStringLiteral("AB中")},
        {QStringLiteral("AB中文,1"), "4", "0", "0", QStringLiteral("AB中")},
        {QStringLiteral("é中,1"), "1", "0", "0", QStringLiteral("é")},
        {QString::fromUcs4(U"A\U0001F600B,1"), "2", "0", "0", QString::fromUcs4(U"A\U0001F600")},
        {QStringLiteral("AB,1"), "9", "0", "0", QStringLiteral("AB")},
        {QStringLiteral("A  ,1"), "9", "1", "0", QStringLiteral("A")},
        {QStringLiteral("12.50,1"), "9", "0", "1", QStringLiteral("12")},
        {QStringLiteral(".5,1"), "9", "0", "1", QString()},
        {QStringLiteral(",1"), "9", "0", "0", QString()},
    };
    for (const auto& c : cases) {
        const state::TextTable records =
            cutTwoFields(c.line, c.width, c.eraseBlanks, c.eraseDecimals);
        EXPECT_EQ(records.at(1, 1), c.first)
            << c.line.toStdString() << " width " << c.width.toStdString();
        EXPECT_EQ(records.at(1, 2), QStringLiteral("1")) << c.line.toStdString();
    }
}

// The cells of a line are parts of one kept line: each must still read, end and change as a text
// of its own, and outlive the line and the table.
TEST(DelimiterCutter, CellsOfOneLineBehaveAsSeparateTexts) {
    state::TextTable records = cutTwoFields(QStringLiteral("ABCDE  ,xyz.5"), "3");
    for (int column = 1; column <= 2; ++column) {
        const QString& cell = records.at(1, column);
        EXPECT_EQ(cell.utf16()[cell.size()], 0) << "column " << column;
    }
    QString first = records.at(1, 1);
    QString second = records.at(1, 2);
    records = state::TextTable();
    first.append(QStringLiteral("0123456789"));
    EXPECT_EQ(first, QStringLiteral("ABC0123456789"));
    EXPECT_EQ(second, QStringLiteral("xyz.5"));
    second = QString();
    first.append(u'!'); // now the buffer's only holder
    EXPECT_EQ(first, QStringLiteral("ABC0123456789!"));
    EXPECT_EQ(first.utf16()[first.size()], 0);
}

// A long line with a long unused tail: the cells must not keep the whole line alive.
TEST(DelimiterCutter, CellsOfALongLineHoldOnlyTheirOwnText) {
    const state::TextTable records =
        cutTwoFields(QStringLiteral("AB,1,") + QString(5000, u'x'), QStringLiteral("9"));
    EXPECT_EQ(records.at(1, 1), QStringLiteral("AB"));
    EXPECT_EQ(records.at(1, 2), QStringLiteral("1"));
    EXPECT_LT(records.at(1, 1).capacity(), 100);
    EXPECT_LT(records.at(1, 2).capacity(), 100);
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
