#include "print_command/date_picture.h"

#include "common/numbers.h"

#include <array>

namespace pelmar::print_command {

namespace {

const std::array<const char16_t*, 7> kShortWeekdays = {u"週日", u"週一", u"週二", u"週三",
                                                       u"週四", u"週五", u"週六"};
const std::array<const char16_t*, 7> kLongWeekdays = {u"星期日", u"星期一", u"星期二", u"星期三",
                                                      u"星期四", u"星期五", u"星期六"};
const std::array<const char16_t*, 12> kMonths = {u"一月", u"二月", u"三月",   u"四月",
                                                 u"五月", u"六月", u"七月",   u"八月",
                                                 u"九月", u"十月", u"十一月", u"十二月"};

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// Sunday = 0 ... Saturday = 6.
int weekdayIndex(const QDate& date) {
    return date.dayOfWeek() % 7;
}

int weekOfYear(const QDate& date) {
    const int firstWeekday = weekdayIndex(QDate(date.year(), 1, 1));
    return (date.dayOfYear() - 1 + firstWeekday) / 7 + 1;
}

// Length of the run of the same letter (either case) starting at i.
qsizetype runLength(const QString& picture, qsizetype i) {
    const QChar letter = picture[i].toLower();
    qsizetype end = i;
    while (end < picture.size() && picture[end].toLower() == letter)
        ++end;
    return end - i;
}

} // namespace

QString formatDatePicture(const QDate& date, const QString& picture) {
    QString out;
    if (!date.isValid())
        return out;
    qsizetype i = 0;
    while (i < picture.size()) {
        const QChar c = picture[i].toLower();
        const qsizetype run = runLength(picture, i);
        qsizetype used = 1;
        if (c == u'd') {
            used = run >= 4 ? 4 : run;
            if (used == 1)
                out += QString::number(date.day());
            else if (used == 2)
                out += twoDigits(date.day());
            else if (used == 3)
                out += QString::fromUtf16(kShortWeekdays[weekdayIndex(date)]);
            else
                out += QString::fromUtf16(kLongWeekdays[weekdayIndex(date)]);
        } else if (c == u'm') {
            used = run >= 4 ? 4 : run;
            if (used == 1)
                out += QString::number(date.month());
            else if (used == 2)
                out += twoDigits(date.month());
            else
                out += QString::fromUtf16(kMonths[static_cast<size_t>(date.month() - 1)]);
        } else if (c == u'y') {
            used = run >= 4 ? 4 : (run >= 2 ? 2 : 1);
            if (used == 4)
                out += QString::number(date.year());
            else if (used == 2)
                out += twoDigits(date.year() % 100);
            else
                out += QString::number(date.dayOfYear());
        } else if (c == u'w') {
            used = run >= 2 ? 2 : 1;
            out += QString::number(used == 2 ? weekOfYear(date) : weekdayIndex(date) + 1);
        } else if (c == u'q') {
            out += QString::number((date.month() - 1) / 3 + 1);
        } else {
            // "/" is the date separator, which is "/" itself here; everything else as it stands.
            out += picture[i];
        }
        i += used;
    }
    return out;
}

QString fixedTextOrDate(const QString& text, const QDate& today) {
    if (!text.contains(QStringLiteral("Date=")))
        return text;
    const qsizetype equals = text.indexOf(u'=');
    return formatDatePicture(today, common::trimBlanks(QStringView(text).mid(equals + 1)));
}

} // namespace pelmar::print_command
