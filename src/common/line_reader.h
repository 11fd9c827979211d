#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdio>
#include <new>

namespace pelmar::common {

// Reads a text file line by line as bytes. A line ends at CR, which may be followed by an LF
// that is dropped too; an LF alone stays in the line unless the reader is told that it ends one
// too. A last line without a terminator is still a line; an empty file has no lines.
// A line longer than the reader's limit: it would not fit into the memory the reader may use.
class LineTooLong : public std::bad_alloc {
public:
    const char* what() const noexcept override { return "line too long"; }
};

class LineReader {
public:
    // Opens the file; throws RunError(53) when it is missing and RunError(75) when it cannot be
    // read. maxLineBytes > 0 limits the length of a line (bytes, terminator not counted).
    explicit LineReader(const QString& path, bool lineFeedEndsLine = false,
                        qsizetype maxLineBytes = 0);
    // Reads the lines of text held in memory (a file not saved yet) the same way.
    explicit LineReader(QByteArray text, bool lineFeedEndsLine = false);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line without its terminator; false at the end of the file. Throws LineTooLong
    // as soon as the line passes the limit, before it is held whole.
    bool next(QByteArray& line);

private:
    static constexpr size_t kUnknown = static_cast<size_t>(-1);

    bool fill();
    size_t nextByte(char byte, size_t& cached);
    size_t findTerminator();

    std::FILE* m_file = nullptr;
    // The text read instead of a file, and how much of it has gone into the buffer.
    QByteArray m_text;
    qsizetype m_textTaken = 0;
    char m_buffer[1 << 16];
    size_t m_pos = 0;
    size_t m_end = 0;
    // Where the next CR and LF of the buffer are (m_end: none), so that a search for the one does
    // not run over the other again for every line.
    size_t m_nextCarriageReturn = kUnknown;
    size_t m_nextLineFeed = kUnknown;
    bool m_eof = false;
    bool m_lineFeedEndsLine = false;
    qsizetype m_maxLineBytes = 0;
};

// Whether the file holds a carriage return anywhere. Throws RunError(53) when it is missing and
// RunError(75) when it cannot be read.
bool holdsCarriageReturn(const QString& path);

} // namespace pelmar::common
