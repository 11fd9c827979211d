#include "format/format_file.h"

#include "support/run_error_of.h"

#include <QStringList>
#include <array>
#include <gtest/gtest.h>

using namespace pelmar;
using format::cutFields;
using format::cutHeadAndTail;
using format::FormatLine;
using format::splitFormatLine;

namespace {

// The fields a cut wrote.
using Fields = std::array<QString, 9>;

QStringList cells(const Fields& row, int count) {
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << row[static_cast<size_t>(i)];
    return list;
}

TEST(SplitFormatLine, KeyAndValue) {
    struct Case {
        QString line;
        bool isLine;
        QString key;
        QString value;
    };
    const Case cases[] = {
        /* 0 */ {QStringLiteral("LabelWidth = 100"), true, "LabelWidth", "100"},
        /* 1 */ {QStringLiteral("  Box  =  1, 2 ,3  "), true, "Box", "1, 2 ,3"},
        /* 2 */ {QStringLiteral("'LabelWidth=100"), false, {}, {}},
        /* 3 */ {QStringLiteral(" 'LabelWidth=100"), true, "'LabelWidth", "100"},
        /* 4 */ {QStringLiteral("LabelWidth 100"), false, {}, {}},
        /* 5 */ {QString(), false, {}, {}},
        /* 6 */ {QStringLiteral("   "), false, {}, {}},
        /* 7 */ {QStringLiteral("F_Text=a,Date=yyyy/mm/dd"), true, "F_Text", "a,Date=yyyy/mm/dd"},
        /* 8 */ {QStringLiteral("=x"), true, "", "x"},
        /* 9 */ {QStringLiteral("SetStripe="), true, "SetStripe", ""},
        // Only spaces are blanks: a tab stays part of the key.
        /* 10 */ {QStringLiteral("\tDirection=0"), true, "\tDirection", "0"},
        /* 11 */ {QStringLiteral("Key=\t1\t"), true, "Key", "\t1\t"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::optional<FormatLine> line = splitFormatLine(c.line);
        ASSERT_EQ(line.has_value(), c.isLine) << "case " << i;
        if (line) {
            EXPECT_EQ(line->key.toString(), c.key) << "case " << i;
            EXPECT_EQ(line->value.toString(), c.value) << "case " << i;
        }
    }
}

TEST(SplitFormatLine, EqualsBeyondPosition32767IsOverflow) {
    // The "=" as character 32,767 is still found; one further is an overflow.
    const QString atLimit = QString(32766, u'x') + QStringLiteral("=1");
    const QString pastLimit = QString(32767, u'x') + QStringLiteral("=1");
    EXPECT_EQ(test::runErrorNumberOf([&] { splitFormatLine(atLimit); }), 0);
    EXPECT_EQ(test::runErrorNumberOf([&] { splitFormatLine(pastLimit); }), 6);
    // A long line without "=" is skipped, whatever its length.
    EXPECT_FALSE(splitFormatLine(QString(100000, u'x')).has_value());
}

TEST(CutFields, CommaCounts) {
    struct Case {
        QString value;
        int commas;
        bool complete;
        QStringList fields;
    };
    const Case cases[] = {
        /* 0 */ {"10,20,30", 3, false, {}},
        /* 1 */ {"10,20,30,40", 3, true, {"10", "20", "30", "40"}},
        /* 2 */ {"10,20,30,40,50", 3, true, {"10", "20", "30", "40,50"}},
        /* 3 */ {" 10 , 20 ,30,  a b  ", 3, true, {"10", "20", "30", "a b"}},
        /* 4 */ {",,,", 3, true, {"", "", "", ""}},
        /* 5 */ {"", 2, false, {}},
        /* 6 */ {"LOGO.BMP", 0, true, {"LOGO.BMP"}},
        /* 7 */ {"1,2,3,4,5,6,7,8,9", 8, true, {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        /* 8 */ {"1,2,3,4,5,6,Arial,A, B", 6, true, {"1", "2", "3", "4", "5", "6", "Arial,A, B"}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const QString text = QStringLiteral("Key=") + c.value;
        const FormatLine line = *splitFormatLine(text);
        Fields row;
        row.fill(QStringLiteral("old"));
        ASSERT_EQ(cutFields(line, c.commas, row), c.complete) << "case " << i;
        if (c.complete) {
            EXPECT_EQ(cells(row, c.commas + 1), c.fields) << "case " << i;
        } else {
            EXPECT_EQ(row[0], QStringLiteral("old")) << "case " << i << ": nothing written";
        }
    }
}

TEST(CutHeadAndTail, KeepsInnerBlanksOfTheHead) {
    const QString text = QStringLiteral("PDF417=  1, 2,  3,4,5,6,7,8,9, E4 ,  3 + \"x\"  ");
    QString head;
    QString tail;
    ASSERT_TRUE(cutHeadAndTail(*splitFormatLine(text), 10, head, tail));
    EXPECT_EQ(head, QStringLiteral("1, 2,  3,4,5,6,7,8,9, E4"));
    EXPECT_EQ(tail, QStringLiteral("3 + \"x\""));
    EXPECT_FALSE(cutHeadAndTail(*splitFormatLine(QStringLiteral("PDF417=1,2,3,4,5,6,7,8,9,1")), 11,
                                head, tail));
}

TEST(CutFields, RequiredCommaBeyondPosition32767IsOverflow) {
    Fields row;
    // "Line=1," puts the first comma at line position 7; 32,759 more characters put the second
    // at 32,767, the last one that can be found.
    const QString atLimit = QStringLiteral("Line=1,") + QString(32759, u'x') + QStringLiteral(",3");
    const QString pastLimit =
        QStringLiteral("Line=1,") + QString(32760, u'x') + QStringLiteral(",3");
    EXPECT_EQ(
        test::runErrorNumberOf([&] { EXPECT_TRUE(cutFields(*splitFormatLine(atLimit), 2, row)); }),
        0);
    EXPECT_EQ(test::runErrorNumberOf([&] { cutFields(*splitFormatLine(pastLimit), 2, row); }), 6);
    // A missing comma after a long field is a short line, not an overflow.
    const QString missing = QStringLiteral("Line=1,") + QString(40000, u'x');
    EXPECT_EQ(
        test::runErrorNumberOf([&] { EXPECT_FALSE(cutFields(*splitFormatLine(missing), 2, row)); }),
        0);
    // Commas not required may lie anywhere: the last field is the rest of the line.
    const QString longTail = QStringLiteral("Line=1,2,3,") + QString(40000, u'x') + u',';
    EXPECT_EQ(
        test::runErrorNumberOf([&] { EXPECT_TRUE(cutFields(*splitFormatLine(longTail), 3, row)); }),
        0);
    EXPECT_EQ(row[3].size(), 40001);
}

} // namespace
