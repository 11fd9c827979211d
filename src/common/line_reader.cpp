#include "common/line_reader.h"

#include "common/file_names.h"
#include "common/run_error.h"

#include <QFile>
#include <cstring>

namespace pelmar::common {

LineReader::LineReader(const QString& path, bool lineFeedEndsLine, qsizetype maxLineBytes)
    : m_lineFeedEndsLine(lineFeedEndsLine), m_maxLineBytes(maxLineBytes) {
    const QString found = resolveExistingFile(path);
    m_file = std::fopen(QFile::encodeName(found).constData(), "rb");
    if (m_file == nullptr)
        throw RunError(PathFileAccessError);
}

LineReader::~LineReader() {
    if (m_file != nullptr)
        std::fclose(m_file);
}

bool LineReader::fill() {
    if (m_eof)
        return false;
    m_pos = 0;
    m_end = std::fread(m_buffer, 1, sizeof m_buffer, m_file);
    if (m_end == 0) {
        if (std::ferror(m_file))
            throw RunError(PathFileAccessError);
        m_eof = true;
        return false;
    }
    return true;
}

const char* LineReader::findTerminator(const char* start, size_t size) const {
    const char* cr = static_cast<const char*>(std::memchr(start, '\r', size));
    if (!m_lineFeedEndsLine)
        return cr;
    const char* lf = static_cast<const char*>(std::memchr(start, '\n', cr ? cr - start : size));
    return lf != nullptr ? lf : cr;
}

bool LineReader::next(QByteArray& line) {
    line.truncate(0); // keeps the buffer for the next line
    if (m_pos >= m_end && !fill())
        return false;
    for (;;) {
        const char* start = m_buffer + m_pos;
        const char* end = findTerminator(start, m_end - m_pos);
        if (end != nullptr) {
            const size_t length = end - start;
            line.append(start, static_cast<qsizetype>(length));
            if (m_maxLineBytes > 0 && line.size() > m_maxLineBytes)
                throw LineTooLong();
            m_pos += length + 1;
            if (*end == '\n')
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

} // namespace pelmar::common
