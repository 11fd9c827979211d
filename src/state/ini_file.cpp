#include "state/ini_file.h"

#include "common/file_writer.h"
#include "common/input_file.h"
#include "common/line_decoder.h"
#include "common/run_error.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

namespace pelmar::state {

using common::PathFileAccessError;
using common::RunError;

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

struct Span {
    qsizetype begin = 0;
    qsizetype end = 0;
};

Span trimmed(const QByteArray& bytes, Span span) {
    while (span.begin < span.end && isBlank(bytes[span.begin]))
        ++span.begin;
    while (span.end > span.begin && isBlank(bytes[span.end - 1]))
        --span.end;
    return span;
}

// One line of the file with what it holds; offsets into the file's bytes.
struct Line {
    enum class Kind { Other, Section, Entry };
    Kind kind = Kind::Other;
    qsizetype begin = 0;
    qsizetype contentEnd = 0; // before the line end
    qsizetype next = 0;       // after the line end
    Span name;                // section or key name
    Span value;               // entry value, blanks around it dropped
};

Line classify(const QByteArray& bytes, qsizetype begin, qsizetype contentEnd, qsizetype next) {
    Line line{Line::Kind::Other, begin, contentEnd, next, {}, {}};
    const Span content = trimmed(bytes, {begin, contentEnd});
    if (content.begin == content.end || bytes[content.begin] == ';')
        return line;
    if (bytes[content.begin] == '[') {
        const qsizetype close = bytes.indexOf(']', content.begin + 1);
        if (close >= 0 && close < content.end) {
            line.kind = Line::Kind::Section;
            line.name = trimmed(bytes, {content.begin + 1, close});
            return line;
        }
    }
    const qsizetype equals = bytes.indexOf('=', content.begin);
    if (equals < 0 || equals >= content.end)
        return line;
    line.name = trimmed(bytes, {content.begin, equals});
    if (line.name.begin == line.name.end)
        return line;
    line.kind = Line::Kind::Entry;
    line.value = trimmed(bytes, {equals + 1, content.end});
    return line;
}

std::vector<Line> parseLines(const QByteArray& bytes) {
    std::vector<Line> lines;
    qsizetype begin = 0;
    const qsizetype size = bytes.size();
    while (begin < size) {
        qsizetype end = begin;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        qsizetype next = end;
        if (next < size && bytes[next] == '\r')
            ++next;
        if (next < size && bytes[next] == '\n' && (next == end || bytes[next - 1] == '\r'))
            ++next;
        lines.push_back(classify(bytes, begin, end, next));
        begin = next;
    }
    return lines;
}

QByteArrayView view(const QByteArray& bytes, Span span) {
    return QByteArrayView(bytes.constData() + span.begin, span.end - span.begin);
}

// Where the first section of that name starts and ends, as line indices [first, last).
struct SectionLines {
    size_t header = 0;
    size_t end = 0;
};

std::optional<SectionLines> findSection(const QByteArray& bytes, const std::vector<Line>& lines,
                                        QByteArrayView section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Line::Kind::Section ||
            !equalsIgnoringAsciiCase(view(bytes, lines[i].name), section))
            continue;
        size_t end = i + 1;
        while (end < lines.size() && lines[end].kind != Line::Kind::Section)
            ++end;
        return SectionLines{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> findKey(const QByteArray& bytes, const std::vector<Line>& lines,
                              const SectionLines& section, QByteArrayView key) {
    for (size_t i = section.header + 1; i < section.end; ++i)
        if (lines[i].kind == Line::Kind::Entry &&
            equalsIgnoringAsciiCase(view(bytes, lines[i].name), key))
            return i;
    return std::nullopt;
}

QByteArray unquoted(QByteArrayView value) {
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front())
        return value.sliced(1, value.size() - 2).toByteArray();
    return value.toByteArray();
}

// Bytes of the character that starts at offset: the shortest run of bytes that the code page
// reads as one whole character; 1 for a byte that starts none.
qsizetype characterLength(const common::CodePage& codePage, const QByteArray& bytes,
                          qsizetype offset) {
    if (static_cast<unsigned char>(bytes[offset]) < 0x80)
        return 1;
    for (qsizetype length = 1; length <= 4 && offset + length <= bytes.size(); ++length) {
        const QString decoded = codePage.decode(bytes.constData() + offset, length);
        if (!decoded.isEmpty() && !decoded.contains(QChar(kReplacement)))
            return length;
    }
    return 1;
}

// The value cut to at most limit bytes, before a character that would not fit whole.
QByteArray cutToBytes(const common::CodePage& codePage, const QByteArray& value, qsizetype limit) {
    if (value.size() <= limit)
        return value;
    qsizetype end = 0;
    while (end < value.size()) {
        const qsizetype length = characterLength(codePage, value, end);
        if (end + length > limit)
            break;
        end += length;
    }
    return value.left(end);
}

// The line end the file uses first; CR LF for a file without one.
QByteArray lineEndOf(const QByteArray& bytes) {
    qsizetype at = 0;
    while (at < bytes.size() && bytes[at] != '\r' && bytes[at] != '\n')
        ++at;
    if (at == bytes.size())
        return QByteArrayLiteral("\r\n");
    if (bytes[at] == '\n')
        return QByteArrayLiteral("\n");
    if (at + 1 < bytes.size() && bytes[at + 1] == '\n')
        return QByteArrayLiteral("\r\n");
    return QByteArrayLiteral("\r");
}

bool hasLineBreakOrZero(QByteArrayView text) {
    for (char c : text)
        if (c == '\r' || c == '\n' || c == '\0')
            return true;
    return false;
}

void checkName(QByteArrayView name, QByteArrayView forbidden, const char* what) {
    bool bad = name.isEmpty() || isBlank(name.front()) || isBlank(name.back()) ||
               hasLineBreakOrZero(name) || name.front() == ';' || name.front() == '[';
    for (char c : forbidden)
        bad = bad || name.contains(c);
    if (bad)
        throw RunError(common::InvalidArgument,
                       QStringLiteral("設定檔的%1名稱不正確: %2")
                           .arg(QString::fromUtf8(what), QString::fromLatin1(name)));
}

// The value as it is written: enclosed in double quotes when reading would otherwise lose its
// outer blanks or a pair of enclosing quotes.
QByteArray storedValue(const QByteArray& value) {
    const bool needsQuotes =
        !value.isEmpty() &&
        (isBlank(value.front()) || isBlank(value.back()) ||
         (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front()));
    return needsQuotes ? '"' + value + '"' : value;
}

} // namespace

QByteArray ProfileValue::text() const {
    const qsizetype zero = buffer.indexOf('\0');
    return zero < 0 ? buffer : buffer.left(zero);
}

IniFile::IniFile(QString path, common::CodePage codePage)
    : m_path(std::move(path)), m_codePage(std::move(codePage)) {
    const QFileInfo info(m_path);
    if (!info.exists() && !info.isSymLink())
        return;
    common::checkInputFile(m_path, QStringLiteral("設定檔"), common::kMaxSettingsFileBytes);
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        throw RunError(PathFileAccessError, QStringLiteral("無法讀取設定檔 %1").arg(m_path));
    m_bytes = file.readAll();
    if (m_codePage.isUtf8() && common::startsWithByteOrderMark(m_bytes)) {
        m_bytes.remove(0, 3);
        m_byteOrderMark = true;
    }
}

void IniFile::checkDecodes() const {
    const common::LineDecoder decoder(m_codePage, m_path, QStringLiteral("設定檔 %1 ").arg(m_path));
    int number = 0;
    for (const Line& line : parseLines(m_bytes)) {
        QByteArray bytes = m_bytes.sliced(line.begin, line.contentEnd - line.begin);
        if (++number == 1)
            decoder.takeByteOrderMark(bytes);
        decoder.decode(bytes, number);
    }
}

ProfileValue IniFile::readString(const QByteArray& section, const QByteArray& key,
                                 const QByteArray& defaultValue, int bufferSize) const {
    ProfileValue result;
    if (bufferSize <= 0)
        return result;
    result.buffer = QByteArray(bufferSize, '\0');

    QByteArray value = defaultValue;
    const std::vector<Line> lines = parseLines(m_bytes);
    if (const auto found = findSection(m_bytes, lines, section))
        if (const auto line = findKey(m_bytes, lines, *found, key))
            value = unquoted(view(m_bytes, lines[*line].value));

    const QByteArray copied = cutToBytes(m_codePage, value, bufferSize - 1);
    std::copy(copied.begin(), copied.end(), result.buffer.begin());
    result.count = static_cast<int>(copied.size());
    return result;
}

std::vector<ProfileEntry> IniFile::readSection(const QByteArray& section) const {
    std::vector<ProfileEntry> entries;
    const std::vector<Line> lines = parseLines(m_bytes);
    const auto found = findSection(m_bytes, lines, section);
    if (!found)
        return entries;
    for (size_t i = found->header + 1; i < found->end; ++i)
        if (lines[i].kind == Line::Kind::Entry)
            entries.emplace_back(view(m_bytes, lines[i].name).toByteArray(),
                                 unquoted(view(m_bytes, lines[i].value)));
    return entries;
}

void IniFile::writeString(const QByteArray& section, const QByteArray& key,
                          const QByteArray& value) {
    const QByteArray before = m_bytes;
    setString(section, key, value);
    try {
        save();
    } catch (...) {
        m_bytes = before;
        throw;
    }
}

void IniFile::setString(const QByteArray& section, const QByteArray& key, const QByteArray& value) {
    checkName(section, "]", "區段");
    checkName(key, "=", "鍵");
    if (hasLineBreakOrZero(value))
        throw RunError(common::InvalidArgument,
                       QStringLiteral("設定值不可包含換行字元: [%1] %2")
                           .arg(QString::fromLatin1(section), QString::fromLatin1(key)));

    const QByteArray stored = storedValue(value);
    const QByteArray lineEnd = lineEndOf(m_bytes);
    const std::vector<Line> lines = parseLines(m_bytes);
    const auto found = findSection(m_bytes, lines, section);
    const QByteArray entryLine = key + '=' + stored;

    if (!found) {
        QByteArray added;
        if (!m_bytes.isEmpty() && !m_bytes.endsWith('\r') && !m_bytes.endsWith('\n'))
            added += lineEnd;
        added += '[' + section + ']' + lineEnd + entryLine + lineEnd;
        m_bytes += added;
        return;
    }
    if (const auto line = findKey(m_bytes, lines, *found, key)) {
        const Span old = lines[*line].value;
        m_bytes.replace(old.begin, old.end - old.begin, stored);
        return;
    }
    // A new key goes after the last non-blank line of the section, so blank lines that
    // separate it from the next section stay where they are.
    size_t after = found->header;
    for (size_t i = found->header + 1; i < found->end; ++i)
        if (trimmed(m_bytes, {lines[i].begin, lines[i].contentEnd}).begin != lines[i].contentEnd)
            after = i;
    const Line& last = lines[after];
    if (last.next == last.contentEnd) // the last line of the file, without a line end
        m_bytes.insert(last.next, lineEnd + entryLine);
    else
        m_bytes.insert(last.next, entryLine + lineEnd);
}

void IniFile::save() const {
    const QByteArray bytes =
        m_byteOrderMark ? QByteArrayLiteral("\xEF\xBB\xBF") + m_bytes : m_bytes;
    try {
        common::saveFile(m_path, bytes);
    } catch (const common::FileWriteError& error) {
        throw RunError(PathFileAccessError,
                       QStringLiteral("無法寫入設定檔 %1 (%2)").arg(m_path, error.reason()));
    }
}

} // namespace pelmar::state
