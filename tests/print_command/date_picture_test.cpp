#include "print_command/date_picture.h"

#include <gtest/gtest.h>

namespace pelmar::print_command {
namespace {

struct DateCase {
    QDate date;
    const char16_t* picture;
    const char16_t* expected;
};

TEST(DatePicture, Letters) {
    const QDate monday(2026, 12, 7);
    const DateCase cases[] = {
        {monday, u"yyyy/mm/dd", u"2026/12/07"},
        {QDate(2026, 3, 5), u"yyyy/m/d", u"2026/3/5"},
        {QDate(2026, 3, 5), u"yy-mm-dd", u"26-03-05"},
        {QDate(2005, 1, 9), u"yy", u"05"},
        {monday, u"ddd dddd", u"週一 星期一"},
        {QDate(2026, 12, 6), u"dddd", u"星期日"},
        {monday, u"mmm|mmmm", u"十二月|十二月"},
        {QDate(2026, 1, 31), u"mmmm", u"一月"},
        {monday, u"YYYY/MM/DD", u"2026/12/07"}, // letters in either case
        {QDate(2026, 12, 31), u"y", u"365"},
        {QDate(2024, 12, 31), u"y", u"366"},
        {QDate(2026, 12, 6), u"w", u"1"}, // Sunday
        {QDate(2026, 12, 12), u"w", u"7"},
        // 1 January 2026 is a Thursday: 1-3 January are week 1, Sunday 4 January starts week 2.
        {QDate(2026, 1, 3), u"ww", u"1"},
        {QDate(2026, 1, 4), u"ww", u"2"},
        {QDate(2026, 12, 31), u"ww", u"53"},
        {QDate(2023, 1, 1), u"ww", u"1"}, // a Sunday
        {QDate(2023, 1, 8), u"ww", u"2"},
        {QDate(2026, 3, 31), u"q", u"1"},
        {QDate(2026, 4, 1), u"q", u"2"},
        {QDate(2026, 12, 7), u"q", u"4"},
        {monday, u"製造日期: yyyy.mm.dd", u"製造日期: 2026.12.07"},
        {monday, u"", u""},
    };
    for (const DateCase& c : cases)
        EXPECT_EQ(formatDatePicture(c.date, QString::fromUtf16(c.picture)),
                  QString::fromUtf16(c.expected))
            << QString::fromUtf16(c.picture).toStdString();
}

TEST(DatePicture, DateRuleReplacesTheWholeText) {
    const QDate today(2026, 12, 7);
    EXPECT_EQ(fixedTextOrDate(QStringLiteral("Date=yyyy/mm/dd"), today),
              QStringLiteral("2026/12/07"));
    EXPECT_EQ(fixedTextOrDate(QStringLiteral("MFG Date= yyyy/mm/dd "), today),
              QStringLiteral("2026/12/07"));
    // The picture follows the first "=" of the text, not the one of "Date=".
    EXPECT_EQ(fixedTextOrDate(QStringLiteral("A=B Date=dd"), today), QStringLiteral("B 7ate=07"));
    EXPECT_EQ(fixedTextOrDate(QStringLiteral("date=yyyy"), today), QStringLiteral("date=yyyy"));
    EXPECT_EQ(fixedTextOrDate(QStringLiteral("Price"), today), QStringLiteral("Price"));
    EXPECT_EQ(fixedTextOrDate(QStringLiteral("Date="), today), QString());
}

} // namespace
} // namespace pelmar::print_command
