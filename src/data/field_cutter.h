#pragma once

#include "common/code_page.h"
#include "common/line_decoder.h"
#include "state/text_table.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

namespace pelmar::state {
struct WorkingState;
}

namespace pelmar::data {

// One number of a field definition. A text whose leading number lies beyond 16 bits is kept as
// an overflow, raised only when the cutter uses that number.
struct FieldNumber {
    std::int16_t value = 0;
    bool overflow = false;
    std::int16_t row = 0; // the definition's row, for the message
    std::int8_t part = 0; // 1 start, 2 width, 3 erase blanks, 4 erase decimals

    // The number; throws RunError(6) naming the definition, and the data line when line > 0,
    // when it lies beyond 16 bits.
    std::int16_t get(qint64 line = 0) const {
        if (overflow)
            throwOverflow(line);
        return value;
    }

private:
    [[noreturn]] void throwOverflow(qint64 line) const;
};

// The numbers of one field definition: start byte (1-based), width in bytes, erase-trailing-blanks
// flag and erase-decimals flag.
struct FieldDefinition {
    FieldNumber start;
    FieldNumber width;
    FieldNumber eraseBlanks;
    FieldNumber eraseDecimals;
};

// Reads parts 1 to 4 of row `row` of the field table by the leading-number rule (missing parts
// are 0). Never throws; overflows are kept in the result.
FieldDefinition fieldDefinition(const state::TextTable& field, int row);

// Number of occurrences of delimiter in text, each search continuing after the previous find;
// 0 for an empty delimiter.
int countDelimiters(QStringView text, QStringView delimiter);

// Byte widths of characters for the width limit, cached per character: 1 for a character that
// the code page writes as one non-zero byte, otherwise 2 or more.
class CharacterWidths {
public:
    explicit CharacterWidths(const common::CodePage& codePage);

    // Bytes the character counts for the width limit (1 to 255). Never throws.
    int width(char32_t character) {
        if (character <= 0xFFFF) {
            const std::uint8_t known = m_basic[character];
            if (known != 0)
                return known;
        }
        return learn(character);
    }

private:
    int learn(char32_t character);

    const common::CodePage& m_codePage;
    std::unique_ptr<std::uint8_t[]> m_basic; // U+0000..U+FFFF, 0 = not yet known
};

// The first characters of value whose byte widths reach `width` (the character that reaches or
// crosses it included), or the whole value when they never do; width <= 0 means no limit.
QStringView limitWidth(QStringView value, int width, CharacterWidths& widths);

// The value before its first "."; with removeComma, then without its first ",".
QString eraseDecimals(QStringView value, bool removeComma);

// Cuts decoded lines at the delimiter. The last record line of the file (the deciding line)
// decides how many fields are cut at delimiters; the text after them is the last field (the
// label quantity, "1" when empty). No line may hold more delimiters than the deciding line: an
// extra one (a thousands separator, a comma in a name, a quoted field, or a field lost from the
// deciding line) would move another column into the quantity.
class DelimiterCutter {
public:
    // Takes the definitions, field count and delimiter from state, and the count of delimited
    // fields from the deciding line, line number decidingLine of the file. Never throws.
    DelimiterCutter(const state::WorkingState& state, QStringView lastLine, qint64 decidingLine);

    // Cuts one decoded line, line number `row` of the file, into columns 1..fieldCount of `row`
    // of records; records keeps a line of up to 256 units and its cells are parts of it. Throws
    // RunError(5) naming the line and the delimiter counts when the line has too few delimiters
    // or more than the deciding line, and RunError(6) for a definition number beyond 16 bits; the
    // fields stored before the failure stay.
    void cut(QString line, state::TextTable& records, int row);

private:
    // Finds a one-unit delimiter in text and sets value to the text before it, cut by the width
    // limit. Returns where the delimiter is, or -1 (value untouched) when there is none.
    qsizetype valueBeforeUnit(QStringView text, char16_t delimiter, int width, QStringView& value);

    [[noreturn]] void refuseTooFew(QStringView line, int row) const;
    [[noreturn]] void refuseTooMany(int count, int row) const;

    int m_fieldCount;
    int m_delimited = 0;
    int m_decidingCount = 0; // the deciding line's own delimiters
    qint64 m_decidingLine = 0;
    QString m_delimiter;
    bool m_singleUnit = false;
    std::vector<FieldDefinition> m_definitions; // index 1..fieldCount
    CharacterWidths m_widths;
};

// Cuts raw code-page bytes of a line at fixed byte positions and decodes each field. A field
// that begins or ends inside a character, or holds a byte the code page cannot read, is refused:
// decoding such a slice alone may still succeed (Big5 trail bytes include ASCII letters) and
// print another character.
class FixedCutter {
public:
    // Takes the definitions, field count and names from state; decoder reads the file's code page
    // and words the refusal of bytes. Never throws.
    FixedCutter(const state::WorkingState& state, const common::LineDecoder& decoder);

    // Cuts line number `row` of the file into columns 1..fieldCount of `row` of records. Throws
    // RunError(5) for a start below 1, a negative width, a field cut through a character or a byte
    // the code page cannot read, and RunError(6) for a definition number beyond 16 bits, each
    // naming the line; the fields stored before the failure stay.
    void cut(QByteArrayView line, state::TextTable& records, int row);

private:
    // Throws when a field of the line begins or ends inside a character, or the line holds a
    // byte that begins no character before the end of the field that ends last.
    void checkBoundaries(QByteArrayView line, int row) const;
    [[noreturn]] void refuseCut(QByteArrayView line, int row, qsizetype boundary) const;

    int m_fieldCount;
    const common::CodePage& m_codePage;
    const common::LineDecoder& m_decoder;
    std::vector<FieldDefinition> m_definitions; // index 1..fieldCount
    QStringList m_names;                        // index 1..fieldCount
    std::vector<qsizetype> m_boundaries;        // where fields begin and end, ascending
    QByteArray m_previous;                      // the line cut last
    int m_previousRow = -1;
};

} // namespace pelmar::data
