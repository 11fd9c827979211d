#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pelmar::common {

// The number a text begins with: leading blanks (spaces only) skipped, an optional sign,
// digits, an optional decimal point and digits; 0 when the text does not begin with a number.
double leadingNumber(QStringView text);

// The value of an ASCII decimal number filling the whole text (optional sign, digits, optional
// point and digits, optional exponent), read alike under every locale; infinity or 0 beyond the
// range of a double; nothing for any other text.
std::optional<double> decimalValue(std::string_view text);

// True when the whole text is one number: optional sign, digits, optional point and fraction.
bool isNumberText(QStringView text);

// Nearest whole number, halves to the even neighbour. Throws RunError(6) outside the type's range.
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);

// leadingNumber then toInt16 / toInt32.
std::int16_t leadingInt16(QStringView text);
std::int32_t leadingInt32(QStringView text);

// Strict conversion of a whole text (blanks around it allowed) to a number: a text that is not
// one number throws RunError(13) (type mismatch).
double strictNumber(QStringView text);

// strictNumber then toInt16; throws 13 for a non-number and 6 outside -32768..32767.
std::int16_t strictInt16(QStringView text);

// Decimal text of a whole number, minus sign when negative, no leading blank.
QString decimalText(long long value);

// Shortest decimal text with at most 15 significant digits and no trailing zeros (17.5, 105).
QString shortestDecimal(double value);

// The text without leading and trailing space characters (tabs and line feeds stay).
QString trimBlanks(QStringView text);
QStringView trimBlanksView(QStringView text);

} // namespace pelmar::common
