#include "common/line_reader.h"

#include "common/file_names.h"
#include "common/run_error.h"

#include <QFile>
#include <cstring>

namespace pelmar::common {

LineReader::LineReader(const QString& path) {
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

bool LineReader::next(QByteArray& line) {
    line.clear();
    if (m_pos >= m_end && !fill())
        return false;
    for (;;) {
        const char* start = m_buffer + m_pos;
        const void* cr = std::memchr(start, '\r', m_end - m_pos);
        if (cr != nullptr) {
            const size_t length = static_cast<const char*>(cr) - start;
            line.append(start, static_cast<qsizetype>(length));
            m_pos += length + 1;
            // A line feed right after the carriage return belongs to the terminator.
            if (m_pos >= m_end)
                fill();
            if (m_pos < m_end && m_buffer[m_pos] == '\n')
                ++m_pos;
            return true;
        }
        line.append(start, static_cast<qsizetype>(m_end - m_pos));
        m_pos = m_end;
        if (!fill())
            return true; // last line without a terminator
    }
}

} // namespace pelmar::common
