#include "state/text_table.h"

#include <gtest/gtest.h>

namespace pelmar::state {
namespace {

// Row 1 keeps the line "ABCDEF" with column 1 = "ABC" and column 2 = "DEF".
TextTable tableWithParts() {
    TextTable table(2, 3);
    table.setLine(1, QStringLiteral("ABCDEF"));
    table.setPart(1, 1, 0, 3);
    table.setPart(1, 2, 3, 3);
    return table;
}

TEST(TextTable, PartsReadAsTextsOfTheirOwn) {
    TextTable table = tableWithParts();
    QString first = table.at(1, 1);
    EXPECT_EQ(first, QStringLiteral("ABC"));
    EXPECT_EQ(table.at(1, 2), QStringLiteral("DEF"));
    EXPECT_EQ(table.at(1, 0), QString());
    first[0] = u'x'; // changing a text read does not change the cell
    EXPECT_EQ(table.at(1, 1), QStringLiteral("ABC"));
    const TextTable copy = table;
    table = TextTable();
    EXPECT_EQ(copy.at(1, 2), QStringLiteral("DEF"));
    EXPECT_EQ(first, QStringLiteral("xBC"));
}

TEST(TextTable, EachStoreReplacesWhatTheCellHeld) {
    const struct {
        const char* what;
        void (*change)(TextTable&);
        const char16_t* first;
        const char16_t* second;
    } cases[] = {
        {"a text over a part", [](TextTable& t) { t.set(1, 1, QStringLiteral("Z")); }, u"Z",
         u"DEF"},
        {"a part over a text",
         [](TextTable& t) {
             t.set(1, 1, QStringLiteral("Z"));
             t.setPart(1, 1, 1, 2);
         },
         u"BC", u"DEF"},
        // A new line for the row: parts of the old one that are not cut again stay as they read.
        {"a new line",
         [](TextTable& t) {
             t.setLine(1, QStringLiteral("XY"));
             t.setPart(1, 1, 0, 2);
         },
         u"XY", u"DEF"},
        {"a part beyond the line", [](TextTable& t) { t.setPart(1, 1, 4, 3); }, u"ABC", u"DEF"},
        {"a negative part", [](TextTable& t) { t.setPart(1, 1, -1, 2); }, u"ABC", u"DEF"},
        {"a place outside the table", [](TextTable& t) { t.setPart(1, 3, 0, 1); }, u"ABC", u"DEF"},
        {"recreate",
         [](TextTable& t) {
             t.recreate(2, 3);
             t.set(0, 0, QStringLiteral("Q"));
         },
         u"", u""},
    };
    for (const auto& c : cases) {
        TextTable table = tableWithParts();
        c.change(table);
        EXPECT_EQ(table.at(1, 1), QString::fromUtf16(c.first)) << c.what;
        EXPECT_EQ(table.at(1, 2), QString::fromUtf16(c.second)) << c.what;
    }
}

// Without a kept line a part has nothing to cut from.
TEST(TextTable, PartWithoutLineIsIgnored) {
    TextTable table(2, 3);
    table.set(1, 1, QStringLiteral("A"));
    table.setPart(1, 1, 0, 0);
    EXPECT_EQ(table.at(1, 1), QStringLiteral("A"));
}

} // namespace
} // namespace pelmar::state
