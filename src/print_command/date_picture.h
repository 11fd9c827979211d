#pragma once

#include <QDate>
#include <QString>

namespace pelmar::print_command {

// Formats a date by a picture: d dd (day), ddd dddd (weekday name, short and long), m mm
// (month), mmm mmmm (month name), yy yyyy (year), y (day of the year), w (weekday, Sunday = 1),
// ww (week of the year: the week holding 1 January is week 1, weeks start on Sunday), q
// (quarter), "/" the date separator; letters in either case; other characters as they stand.
// Names are Traditional Chinese (週一, 星期一, 一月).
QString formatDatePicture(const QDate& date, const QString& picture);

// The text of a fixed text element: when it contains "Date=" (exactly that case), the whole text
// is replaced by today's date formatted with the picture after the text's first "=" (trimmed of
// blanks); any other text is returned unchanged.
QString fixedTextOrDate(const QString& text, const QDate& today);

} // namespace pelmar::print_command
