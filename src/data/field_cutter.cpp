#include "data/field_cutter.h"

#include "common/numbers.h"
#include "common/run_error.h"
#include "state/settings.h"
#include "state/working_state.h"

#include <algorithm>

namespace pelmar::data {

using common::RunError;

namespace {

FieldNumber fieldNumber(const QString& text, int row, int part) {
    FieldNumber number;
    number.row = static_cast<std::int16_t>(row);
    number.part = static_cast<std::int8_t>(part);
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

// "第 5 行: " before a message about cutting line 5; nothing for line 0.
QString linePrefix(qint64 line) {
    return line > 0 ? QStringLiteral("第 %1 行: ").arg(line) : QString();
}

QString fieldKey(int row) {
    return QString::fromLatin1(state::numberedKey("Field", row));
}

} // namespace

void FieldNumber::throwOverflow(qint64 line) const {
    static const char* const kParts[] = {"", "起始位置", "寬度", "去除尾端空白", "去除小數"};
    throw RunError(
        common::Overflow,
        linePrefix(line) +
            QStringLiteral("[Fields] %1 的%2超出 16 位元整數的範圍 (-32768 到 32767).")
                .arg(fieldKey(row), QString::fromUtf8(kParts[part >= 1 && part <= 4 ? part : 0])));
}

FieldDefinition fieldDefinition(const state::TextTable& field, int row) {
    return {fieldNumber(field.at(row, 1), row, 1), fieldNumber(field.at(row, 2), row, 2),
            fieldNumber(field.at(row, 3), row, 3), fieldNumber(field.at(row, 4), row, 4)};
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

DelimiterCutter::DelimiterCutter(const state::WorkingState& state, QStringView lastLine,
                                 qint64 decidingLine)
    : m_fieldCount(state.fieldCount), m_decidingLine(decidingLine), m_delimiter(state.delimiter),
      m_definitions(fieldDefinitions(state)), m_widths(state.codePage) {
    // A surrogate could pair with the unit before it: such a delimiter takes the general path.
    m_singleUnit = m_delimiter.size() == 1 && !m_delimiter.front().isSurrogate();
    if (m_fieldCount < 1)
        return;
    m_decidingCount = countDelimiters(lastLine, m_delimiter);
    m_delimited = std::min(m_decidingCount, m_fieldCount - 1);
}

void DelimiterCutter::refuseTooFew(QStringView line, int row) const {
    const int count = countDelimiters(line, m_delimiter);
    const QString what = line.isEmpty() ? QStringLiteral("第 %1 行是空行").arg(row)
                         : count == 0
                             ? QStringLiteral("第 %1 行沒有分隔字元").arg(row)
                             : QStringLiteral("第 %1 行只有 %2 個分隔字元").arg(row).arg(count);
    throw RunError(common::InvalidArgument,
                   what + QStringLiteral(", 至少需要 %1 個分隔字元 (決定欄位的第 %2 行有 %3 個).")
                              .arg(m_delimited)
                              .arg(m_decidingLine)
                              .arg(m_decidingCount));
}

void DelimiterCutter::refuseTooMany(int count, int row) const {
    throw RunError(
        common::InvalidArgument,
        QStringLiteral("第 %1 行有 %2 個分隔字元, 決定欄位的第 %3 行只有 %4 個. 多出的分隔字元 "
                       "(例如千分位、品名裡或引號內的分隔字元) 會使欄位錯位, 數量取自別的欄位; "
                       "若是第 %3 行少了欄位, 請補齊.")
            .arg(row)
            .arg(count)
            .arg(m_decidingLine)
            .arg(m_decidingCount));
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
        const int width = definition.width.get(row);
        const int eraseBlanks = definition.eraseBlanks.get(row);
        const int eraseDecimalsFlag = definition.eraseDecimals.get(row);
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
            refuseTooFew(line, row);
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
        if (at >= 0) {
            const int count = m_delimited + 1 +
                              countDelimiters(rest.sliced(at + m_delimiter.size()), m_delimiter);
            if (count > m_decidingCount)
                refuseTooMany(count, row);
            rest = rest.first(at);
        }
    }
    const FieldDefinition& last = m_definitions[static_cast<size_t>(m_fieldCount)];
    const int eraseBlanks = last.eraseBlanks.get(row);
    const int eraseDecimalsFlag = last.eraseDecimals.get(row);
    if (eraseBlanks == 1)
        rest = trimTrailingSpaces(rest);
    if (eraseDecimalsFlag == 1)
        rest = beforeFirstDot(rest);
    store(m_fieldCount, rest);
}

FixedCutter::FixedCutter(const state::WorkingState& state, const common::LineDecoder& decoder)
    : m_fieldCount(state.fieldCount), m_codePage(state.codePage), m_decoder(decoder),
      m_definitions(fieldDefinitions(state)) {
    m_names << QString();
    for (int j = 1; j <= m_fieldCount; ++j) {
        m_names << state.field.at(j, 0);
        const FieldDefinition& definition = m_definitions[static_cast<size_t>(j)];
        if (definition.start.overflow || definition.width.overflow || definition.start.value < 1 ||
            definition.width.value <= 0)
            continue; // cuts nothing, or stops the read
        m_boundaries.push_back(definition.start.value - 1);
        m_boundaries.push_back(definition.start.value - 1 + definition.width.value);
    }
    std::sort(m_boundaries.begin(), m_boundaries.end());
}

void FixedCutter::checkBoundaries(QByteArrayView line, int row) const {
    if (m_boundaries.empty())
        return;
    const qsizetype reach = std::min(m_boundaries.back(), line.size());
    const bool keepsAscii = m_codePage.keepsAscii();
    size_t next = 0; // the first boundary after the character before `at`
    for (qsizetype at = 0; at < reach;) {
        if (keepsAscii && static_cast<unsigned char>(line[at]) < 0x80) {
            ++at;
            continue;
        }
        const int length = m_codePage.characterLength(line.data() + at, line.size() - at);
        if (length == 0) {
            m_decoder.decode(line, row); // the line's first byte that is not valid
            m_decoder.refuseByte(row, at);
        }
        while (next < m_boundaries.size() && m_boundaries[next] <= at)
            ++next;
        // A boundary inside the character lies before the line's end, so its field is cut.
        if (next < m_boundaries.size() && m_boundaries[next] < at + length)
            refuseCut(line, row, m_boundaries[next]);
        at += length;
    }
}

void FixedCutter::refuseCut(QByteArrayView line, int row, qsizetype boundary) const {
    // A byte that begins no character explains the cut better than the cut itself.
    m_decoder.decode(line, row);
    const auto begins = [&](int j) {
        return m_definitions[static_cast<size_t>(j)].start.value - 1;
    };
    const auto ends = [&](int j) {
        return begins(j) + m_definitions[static_cast<size_t>(j)].width.value;
    };
    int field = 1;
    while (field < m_fieldCount && begins(field) != boundary && ends(field) != boundary)
        ++field;
    const qsizetype to = std::min<qsizetype>(ends(field), line.size());
    const QString where =
        begins(field) == boundary ? QStringLiteral("開始") : QStringLiteral("結束");
    throw RunError(
        common::InvalidArgument,
        QStringLiteral("第 %1 行第 %2 到 %3 個位元組的欄位「%4」([Fields] %5) 在一個字元的"
                       "中間%6, 把字碼頁 %7 的多位元組字元切開了; 請檢查這個欄位的起始位置與"
                       "寬度, 或資料檔中這一行的欄位位置.")
            .arg(row)
            .arg(begins(field) + 1)
            .arg(to)
            .arg(m_names.value(field), fieldKey(field), where,
                 QString::fromLatin1(m_codePage.name())));
}

void FixedCutter::cut(QByteArrayView line, state::TextTable& records, int row) {
    const bool previousAbove = m_previousRow == row - 1;
    checkBoundaries(line, row);
    for (int j = 1; j <= m_fieldCount; ++j) {
        const FieldDefinition& definition = m_definitions[static_cast<size_t>(j)];
        const int start = definition.start.get(row);
        const int width = definition.width.get(row);
        const int eraseBlanks = definition.eraseBlanks.get(row);
        const int eraseDecimalsFlag = definition.eraseDecimals.get(row);
        if (start < 1 || width < 0)
            throw RunError(common::InvalidArgument,
                           QStringLiteral("第 %1 行: [Fields] %2 (%3) 的%4, 無法依固定位置切割.")
                               .arg(row)
                               .arg(fieldKey(j), m_names.value(j))
                               .arg(start < 1 ? QStringLiteral("起始位置 %1 小於 1").arg(start)
                                              : QStringLiteral("寬度 %1 是負數").arg(width)));
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
        qsizetype invalidAt = -1;
        QString value = m_codePage.decodeUntilInvalid(bytes.data(), bytes.size(), invalidAt);
        if (invalidAt >= 0) {
            m_decoder.decode(line, row); // the line's first byte that is not valid
            m_decoder.refuseByte(row, from + invalidAt);
        }
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
