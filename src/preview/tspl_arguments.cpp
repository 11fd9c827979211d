#include "preview/tspl_arguments.h"

#include "common/numbers.h"

#include <cmath>
#include <string_view>

namespace pelmar::preview {

namespace {

constexpr double kMaxDots = 1'000'000;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

std::optional<int> roundedDots(double value) {
    if (!std::isfinite(value) || std::fabs(value) > kMaxDots)
        return std::nullopt;
    return static_cast<int>(std::lround(value));
}

// The byte 000 to 255 that three digits at the start of text give, -1 when they do not.
int escapedByte(QByteArrayView text) {
    if (text.size() < 3)
        return -1;
    int value = 0;
    for (int k = 0; k < 3; ++k) {
        if (text[k] < '0' || text[k] > '9')
            return -1;
        value = value * 10 + (text[k] - '0');
    }
    return value <= 255 ? value : -1;
}

} // namespace

std::vector<TsplArgument> splitArguments(QByteArrayView parameters, bool* unterminated) {
    std::vector<TsplArgument> result;
    if (unterminated)
        *unterminated = false;
    if (trimmed(parameters).isEmpty())
        return result;
    TsplArgument current;
    QByteArray plain;
    bool inQuote = false;
    qsizetype i = 0;
    const qsizetype n = parameters.size();
    auto finishArgument = [&] {
        if (!current.quoted)
            current.text = trimmed(plain).toByteArray();
        result.push_back(std::move(current));
        current = TsplArgument{};
        plain.clear();
    };
    while (i < n) {
        const char c = parameters[i];
        if (inQuote) {
            if (c == '\\' && parameters.sliced(i).startsWith("\\[\"]")) {
                current.text.append('"');
                i += 4;
                continue;
            }
            if (c == '"')
                inQuote = false;
            else
                current.text.append(c);
            ++i;
            continue;
        }
        if (c == '"') {
            // A quote opens the parameter's string; blanks before it are not part of it.
            inQuote = true;
            current.quoted = true;
        } else if (c == ',') {
            finishArgument();
        } else if (!current.quoted) {
            plain.append(c);
        }
        ++i;
    }
    if (inQuote && unterminated)
        *unterminated = true;
    finishArgument();
    return result;
}

QByteArray decodeEscapes(QByteArrayView content, char escape, bool* malformed) {
    QByteArray out;
    out.reserve(content.size());
    if (malformed)
        *malformed = false;
    qsizetype i = 0;
    while (i < content.size()) {
        const char c = content[i];
        if (c != escape || i + 1 >= content.size()) {
            if (c == escape && malformed)
                *malformed = true;
            out.append(c);
            ++i;
            continue;
        }
        const char next = content[i + 1];
        if (next == escape) {
            out.append(escape);
            i += 2;
        } else if (next >= '@' && next <= '_') {
            out.append(static_cast<char>(next - '@'));
            i += 2;
        } else if (const int byte = next == 'd' ? escapedByte(content.sliced(i + 2)) : -1;
                   byte >= 0) {
            out.append(static_cast<char>(byte));
            i += 5;
        } else {
            if (malformed)
                *malformed = true;
            out.append(c);
            ++i;
        }
    }
    return out;
}

std::optional<double> parseNumber(QByteArrayView text) {
    const QByteArrayView t = trimmed(text);
    if (t.isEmpty() || t.size() > 40)
        return std::nullopt;
    qsizetype i = 0;
    if (t[i] == '+' || t[i] == '-')
        ++i;
    bool digits = false;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
        ++i;
        digits = true;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            ++i;
            digits = true;
        }
    }
    if (!digits || i != t.size())
        return std::nullopt;
    return common::decimalValue(std::string_view(t.data(), static_cast<size_t>(t.size())));
}

std::optional<int> parseDots(QByteArrayView text) {
    const std::optional<double> value = parseNumber(text);
    if (!value)
        return std::nullopt;
    return roundedDots(*value);
}

std::optional<int> parseLength(QByteArrayView text, int dpi) {
    QByteArrayView t = trimmed(text);
    double factor = dpi;
    const QByteArray lower = t.toByteArray().toLower();
    if (lower.endsWith("mm")) {
        factor = dpi >= 300 ? 12.0 : 8.0;
        t = t.first(t.size() - 2);
    } else if (lower.endsWith("dot")) {
        factor = 1.0;
        t = t.first(t.size() - 3);
    }
    const std::optional<double> value = parseNumber(t);
    if (!value)
        return std::nullopt;
    return roundedDots(*value * factor);
}

} // namespace pelmar::preview
