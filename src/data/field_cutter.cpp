#include "data/field_cutter.h"

#include "common/numbers.h"
#include "common/run_error.h"
#include "state/working_state.h"

#include <algorithm>

namespace pelmar::data {

using common::RunError;

namespace {

FieldNumber fieldNumber(const QString& text) {
    FieldNumber number;
    try {
        number.value = common::leadingInt16(text);
    } catch (const RunError&) {
        // Only the cutter knows when the number is used, and that is when the error belongs.
        number.overflow = true;
    }
    return number;
}

std::vector<FieldDefinition> fieldDefinitions(const state::WorkingState& state) {
    const int count = std::max<int>(state.fieldCount, 0);
    std::vector<FieldDefinition> definitions(static_cast<size_t>(count) + 1);
    for (int row = 1; row <= count; ++row)
        definitions[static_cast<size_t>(row)] = fieldDefinition(state.field, row);
    return definitions;
}

// Fields are short: a plain loop beats a call into Qt's vectorised search for them.
qsizetype indexOfUnit(QStringView text, char16_t unit, qsizetype from = 0) {
    const char16_t* units = text.utf16();
    for (qsizetype i = from; i < text.size(); ++i)
        if (units[i] == unit)
            return i;
    return -1;
}

QStringView beforeFirstDot(QStringView value) {
    const qsizetype dot = indexOfUnit(value, u'.');
    return dot < 0 ? value : value.first(dot);
}

// Trailing space characters only; tabs stay.
QStringView trimTrailingSpaces(QStringView value) {
    qsizetype end = value.size();
    while (end > 0 && value[end - 1] == u' ')
        --end;
    return value.first(end);
}

qsizetype findDelimiter(QStringView text, QStringView delimiter, qsizetype from = 0) {
    if (delimiter.size() == 1)
        return indexOfUnit(text, delimiter.front().unicode(), from);
    return text.indexOf(delimiter, from);
}

// Lines longer than this are not kept, their fields are copied: a kept line would stay whole
// for fields that may be a small part of it (a long note after the last field).
constexpr qsizetype kLongestKeptLine = 256;

} // namespace

void FieldNumber::throwOverflow() {
    throw RunError(common::Overflow);
}

FieldDefinition fieldDefinition(const state::TextTable& field, int row) {
    return {fieldNumber(field.at(row, 1)), fieldNumber(field.at(row, 2)),
            fieldNumber(field.at(row, 3)), fieldNumber(field.at(row, 4))};
}

int countDelimiters(QStringView text, QStringView delimiter) {
    if (delimiter.isEmpty())
        return 0;
    int count = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype found = findDelimiter(text, delimiter, from);
        if (found < 0)
            return count;
        ++count;
        from = found + delimiter.size();
    }
}

CharacterWidths::CharacterWidths(const common::CodePage& codePage)
    : m_codePage(codePage), m_basic(new std::uint8_t[0x10000]()) {}

int CharacterWidths::learn(char32_t character) {
    const int width = std::clamp(m_codePage.characterWidth(character), 1, 255);
    if (character <= 0xFFFF)
        m_basic[character] = static_cast<std::uint8_t>(width);
    return width;
}

QStringView limitWidth(QStringView value, int width, CharacterWidths& widths) {
    if (width <= 0)
        return value;
    const char16_t* units = value.utf16();
    int count = 0;
    qsizetype i = 0;
    while (i < value.size()) {
        char32_t character = units[i];
        qsizetype next = i + 1;
        if (QChar::isHighSurrogate(character) && next < value.size() &&
            QChar::isLowSurrogate(units[next])) {
            character = QChar::surrogateToUcs4(units[i], units[next]);
            ++next;
        }
        count += widths.width(character);
        if (count >= width)
            return value.first(next);
        i = next;
    }
    return value;
}

QString eraseDecimals(QStringView value, bool removeComma) {
    value = beforeFirstDot(value);
    const qsizetype comma = removeComma ? indexOfUnit(value, u',') : -1;
    if (comma < 0)
        return value.toString();
    QString joined;
    joined.reserve(value.size() - 1);
    joined.append(value.first(comma));
    joined.append(value.sliced(comma + 1));
    return joined;
}

DelimiterCutter::DelimiterCutter(const state::WorkingState& state, QStringView lastLine)
    : m_fieldCount(state.fieldCount), m_delimiter(state.delimiter),
      m_definitions(fieldDefinitions(state)), m_widths(state.codePage) {
    // A surrogate could pair with the unit before it: such a delimiter takes the general path.
    m_singleUnit = m_delimiter.size() == 1 && !m_delimiter.front().isSurrogate();
    if (m_fieldCount < 1)
        return;
    m_delimited = std::min(countDelimiters(lastLine, m_delimiter), m_fieldCount - 1);
}

qsizetype DelimiterCutter::valueBeforeUnit(QStringView text, char16_t delimiter, int width,
                                           QStringView& value) {
    // One pass finds the delimiter and, on the way, where the width limit cuts the value.
    const char16_t* units = text.utf16();
    const qsizetype size = text.size();
    qsizetype end = -1; // where the width limit ends the value, once reached
    int count = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (unit == delimiter) {
            value = text.first(end < 0 ? i : end);
            return i;
        }
        if (end >= 0 || width <= 0)
            continue;
        char32_t character = unit;
        qsizetype next = i + 1;
        if (QChar::isHighSurrogate(character) && next < size &&
            QChar::isLowSurrogate(units[next])) {
            character = QChar::surrogateToUcs4(unit, units[next]);
            ++next;
        }
        count += m_widths.width(character);
        if (count >= width)
            end = next;
        i = next - 1;
    }
    return -1;
}

void DelimiterCutter::cut(QString line, state::TextTable& records, int row) {
    if (m_fieldCount < 1)
        return;
    // One buffer a line rather than one a field: the cells are parts of the line records keep.
    const bool keepLine = line.size() <= kLongestKeptLine;
    if (keepLine)
        records.setLine(row, line);
    const auto store = [&](int column, QStringView part) {
        if (keepLine)
            records.setPart(row, column, part.constData() - line.constData(), part.size());
        else
            records.set(row, column, part.toString());
    };
    QStringView rest = line;
    for (int j = 1; j <= m_delimited; ++j) {
        const FieldDefinition& definition = m_definitions[static_cast<size_t>(j)];
        const int width = definition.width.get();
        const int eraseBlanks = definition.eraseBlanks.get();
        const int eraseDecimalsFlag = definition.eraseDecimals.get();
        QStringView value;
        qsizetype at = -1;
        if (m_singleUnit) {
            at = valueBeforeUnit(rest, m_delimiter.front().unicode(), width, value);
        } else if (!m_delimiter.isEmpty()) {
            at = findDelimiter(rest, m_delimiter);
            if (at >= 0)
                value = limitWidth(rest.first(at), width, m_widths);
        }
        if (at < 0)
            throw RunError(common::InvalidArgument);
        rest = rest.sliced(at + m_delimiter.size());
        if (eraseBlanks == 1)
            value = trimTrailingSpaces(value);
        if (eraseDecimalsFlag == 1) {
            value = beforeFirstDot(value);
            if (indexOfUnit(value, u',') >= 0) {
                records.set(row, j, eraseDecimals(value, true));
                continue;
            }
        }
        store(j, value);
    }

    if (rest.isEmpty()) {
        records.set(row, m_fieldCount, QStringLiteral("1"));
        return;
    }
    if (!m_delimiter.isEmpty()) {
        const qsizetype at = findDelimiter(rest, m_delimiter);
        if (at >= 0)
            rest = rest.first(at);
    }
    const FieldDefinition& last = m_definitions[static_cast<size_t>(m_fieldCount)];
    const int eraseBlanks = last.eraseBlanks.get();
    const int eraseDecimalsFlag = last.eraseDecimals.get();
    if (eraseBlanks == 1)
        rest = trimTrailingSpaces(rest);
    if (eraseDecimalsFlag == 1)
        rest = beforeFirstDot(rest);
    store(m_fieldCount, rest);
}

FixedCutter::FixedCutter(const state::WorkingState& state)
    : m_fieldCount(state.fieldCount), m_codePage(state.codePage),
      m_definitions(fieldDefinitions(state)) {}

void FixedCutter::cut(QByteArrayView line, state::TextTable& records, int row) {
    const bool previousAbove = m_previousRow == row - 1;
    for (int j = 1; j <= m_fieldCount; ++j) {
        const FieldDefinition& definition = m_definitions[static_cast<size_t>(j)];
        const int start = definition.start.get();
        const int width = definition.width.get();
        const int eraseBlanks = definition.eraseBlanks.get();
        const int eraseDecimalsFlag = definition.eraseDecimals.get();
        if (start < 1 || width < 0)
            throw RunError(common::InvalidArgument);
        if (width == 0 || start > line.size())
            continue;
        const qsizetype from = start - 1;
        const QByteArrayView bytes =
            line.sliced(from, std::min<qsizetype>(width, line.size() - from));
        // The same bytes under the same definition as in the line above give the same value.
        if (previousAbove && from < m_previous.size() &&
            QByteArrayView(m_previous)
                    .sliced(from)
                    .first(std::min<qsizetype>(width, m_previous.size() - from)) == bytes) {
            records.set(row, j, records.at(row - 1, j));
            continue;
        }
        QString value = m_codePage.decode(bytes.data(), bytes.size());
        if (eraseBlanks == 1 || eraseDecimalsFlag == 1) {
            QStringView view = value;
            if (eraseBlanks == 1)
                view = trimTrailingSpaces(view);
            if (eraseDecimalsFlag == 1)
                view = beforeFirstDot(view);
            if (view.size() != value.size())
                value.truncate(view.size());
        }
        records.set(row, j, std::move(value));
    }
    m_previous.resize(0);
    m_previous.append(line);
    m_previousRow = row;
}

} // namespace pelmar::data
