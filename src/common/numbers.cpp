#include "common/numbers.h"

#include "common/run_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace pelmar::common {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Length of the number at the start of text (after blanks were skipped), 0 when there is none.
qsizetype numberLength(QStringView text) {
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == u'.') {
        qsizetype j = i + 1;
        qsizetype fraction = 0;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    return digits > 0 ? i : 0;
}

QStringView skipLeadingBlanks(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    return text.mid(i);
}

// The number's own grammar was checked by the caller, so the text always has a value.
double parseNumber(QStringView number) {
    const QByteArray ascii = number.toLatin1();
    return decimalValue(std::string_view(ascii.constData(), static_cast<size_t>(ascii.size())))
        .value_or(0.0);
}

// Whether a decimal number that a double cannot hold is too large rather than too small: its
// first significant digit stands at a power of ten of 0 or more.
bool isTooLarge(std::string_view number) {
    const size_t exponentAt = std::min(number.find_first_of("eE"), number.size());
    const size_t pointAt = std::min(number.find('.'), exponentAt);
    const size_t first = number.find_first_of("123456789");
    if (first >= exponentAt)
        return false;
    long long power = first < pointAt ? static_cast<long long>(pointAt - first) - 1
                                      : -static_cast<long long>(first - pointAt);
    long long exponent = 0;
    size_t i = exponentAt + 1;
    const bool negative = i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '-' || number[i] == '+'))
        ++i;
    // Saturates: an exponent of a thousand digits is as far out of range as one of seven.
    for (; i < number.size() && exponent < 1'000'000; ++i)
        exponent = exponent * 10 + (number[i] - '0');
    power += negative ? -exponent : exponent;
    return power >= 0;
}

template <typename T> T toWhole(double value) {
    if (!std::isfinite(value))
        throw RunError(Overflow);
    const double rounded = std::nearbyint(value); // default rounding: halves to even
    if (rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<T>::max()))
        throw RunError(Overflow);
    return static_cast<T>(rounded);
}

} // namespace

std::optional<double> decimalValue(std::string_view text) {
    std::string_view number = text;
    const bool negative = !number.empty() && number.front() == '-';
    if (!number.empty() && (number.front() == '+' || negative))
        number.remove_prefix(1);
    // from_chars also reads "inf" and "nan", which are no decimal numbers here.
    if (number.empty() || !(isDigit(QChar(number.front())) || number.front() == '.'))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (end != number.data() + number.size())
        return std::nullopt;
    if (error == std::errc::result_out_of_range)
        value = isTooLarge(number) ? std::numeric_limits<double>::infinity() : 0.0;
    else if (error != std::errc())
        return std::nullopt;
    return negative ? -value : value;
}

double leadingNumber(QStringView text) {
    const QStringView rest = skipLeadingBlanks(text);
    const qsizetype length = numberLength(rest);
    return length == 0 ? 0.0 : parseNumber(rest.left(length));
}

bool isNumberText(QStringView text) {
    return !text.isEmpty() && numberLength(text) == text.size();
}

std::int16_t toInt16(double value) {
    return toWhole<std::int16_t>(value);
}
std::int32_t toInt32(double value) {
    return toWhole<std::int32_t>(value);
}
std::int16_t leadingInt16(QStringView text) {
    return toInt16(leadingNumber(text));
}
std::int32_t leadingInt32(QStringView text) {
    return toInt32(leadingNumber(text));
}

double strictNumber(QStringView text) {
    const QStringView trimmed = trimBlanksView(text);
    qsizetype length = numberLength(trimmed);
    if (length == 0)
        throw RunError(TypeMismatch);
    // An exponent such as 1E3 belongs to the number too.
    if (length < trimmed.size() && (trimmed[length] == u'e' || trimmed[length] == u'E')) {
        qsizetype j = length + 1;
        if (j < trimmed.size() && (trimmed[j] == u'+' || trimmed[j] == u'-'))
            ++j;
        const qsizetype firstDigit = j;
        while (j < trimmed.size() && isDigit(trimmed[j]))
            ++j;
        if (j > firstDigit)
            length = j;
    }
    if (length != trimmed.size())
        throw RunError(TypeMismatch);
    return parseNumber(trimmed);
}

std::int16_t strictInt16(QStringView text) {
    return toInt16(strictNumber(text));
}

QString decimalText(long long value) {
    return QString::number(value);
}

QString shortestDecimal(double value) {
    if (value == 0.0)
        return QStringLiteral("0");
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return QString::fromLatin1(buffer, written.ptr - buffer);
}

QStringView trimBlanksView(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString trimBlanks(QStringView text) {
    return trimBlanksView(text).toString();
}

} // namespace pelmar::common
