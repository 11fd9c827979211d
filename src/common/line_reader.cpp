#include "common/line_reader.h"

#include "common/file_names.h"
#include "common/run_error.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmar::common {

namespace {

// Opens without waiting for a writer and refuses what is not a regular file: a FIFO or a device
// put in place of a checked file would block the read or never end it.
std::FILE* openForReading(const QString& path) {
    const QString found = resolveExistingFile(path);
    const int fd = ::open(QFile::encodeName(found).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw RunError(PathFileAccessError);
    struct stat info {};
    std::FILE* file = nullptr;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        (file = ::fdopen(fd, "rb")) == nullptr) {
        ::close(fd);
        throw RunError(PathFileAccessError);
    }
    return file;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

LineReader::LineReader(const QString& path, bool lineFeedEndsLine, qsizetype maxLineBytes)
    : m_file(openForReading(path)), m_lineFeedEndsLine(lineFeedEndsLine),
      m_maxLineBytes(maxLineBytes) {}

LineReader::LineReader(QByteArray text, bool lineFeedEndsLine)
    : m_text(std::move(text)), m_lineFeedEndsLine(lineFeedEndsLine) {}

LineReader::~LineReader() {
    if (m_file != nullptr)
        std::fclose(m_file);
}

bool LineReader::fill() {
    if (m_eof)
        return false;
    m_pos = 0;
    m_nextCarriageReturn = kUnknown;
    m_nextLineFeed = kUnknown;
    if (m_file == nullptr) {
        m_end = static_cast<size_t>(
            std::min(m_text.size() - m_textTaken, static_cast<qsizetype>(sizeof m_buffer)));
        std::memcpy(m_buffer, m_text.constData() + m_textTaken, m_end);
        m_textTaken += static_cast<qsizetype>(m_end);
    } else {
        m_end = std::fread(m_buffer, 1, sizeof m_buffer, m_file);
    }
    if (m_end == 0) {
        if (m_file != nullptr && std::ferror(m_file))
            throw RunError(PathFileAccessError);
        m_eof = true;
        return false;
    }
    return true;
}

size_t LineReader::nextByte(char byte, size_t& cached) {
    if (cached == kUnknown || cached < m_pos) {
        const void* found = std::memchr(m_buffer + m_pos, byte, m_end - m_pos);
        cached = found != nullptr ? static_cast<size_t>(static_cast<const char*>(found) - m_buffer)
                                  : m_end;
    }
    return cached;
}

size_t LineReader::findTerminator() {
    const size_t cr = nextByte('\r', m_nextCarriageReturn);
    if (!m_lineFeedEndsLine)
        return cr;
    return std::min(cr, nextByte('\n', m_nextLineFeed));
}

bool LineReader::next(QByteArray& line) {
    line.truncate(0); // keeps the buffer for the next line
    if (m_pos >= m_end && !fill())
        return false;
    for (;;) {
        const char* start = m_buffer + m_pos;
        const size_t end = findTerminator();
        if (end < m_end) {
            const size_t length = end - m_pos;
            line.append(start, static_cast<qsizetype>(length));
            if (m_maxLineBytes > 0 && line.size() > m_maxLineBytes)
                throw LineTooLong();
            m_pos = end + 1;
            if (m_buffer[end] == '\n')
                return true;
            // A line feed right after the carriage return belongs to the terminator.
            if (m_pos >= m_end)
                fill();
            if (m_pos < m_end && m_buffer[m_pos] == '\n')
                ++m_pos;
            return true;
        }
        line.append(start, static_cast<qsizetype>(m_end - m_pos));
        m_pos = m_end;
        if (m_maxLineBytes > 0 && line.size() > m_maxLineBytes)
            throw LineTooLong();
        if (!fill())
            return true; // last line without a terminator
    }
}

bool holdsCarriageReturn(const QString& path) {
    const std::unique_ptr<std::FILE, FileCloser> file(openForReading(path));
    auto buffer = std::make_unique<char[]>(1 << 16);
    for (;;) {
        const size_t read = std::fread(buffer.get(), 1, 1 << 16, file.get());
        if (read == 0) {
            if (std::ferror(file.get()))
                throw RunError(PathFileAccessError);
            return false;
        }
        if (std::memchr(buffer.get(), '\r', read) != nullptr)
            return true;
    }
}

} // namespace pelmar::common
