#include "common/output_file.h"

#include "common/byte_writer.h"
#include "common/file_writer.h"
#include "common/system_error_text.h"
#include "common/timing.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace pelmar::common {

OutputFile::OutputFile(QString path) : m_path(std::move(path)) {}

OutputFile::~OutputFile() {
    OutputFile::close();
}

void OutputFile::create() {
    close();
    m_failure.clear();
    m_fd = ::open(m_path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0)
        throw FileWriteError(m_path, systemErrorText(errno));
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

void OutputFile::check() const {
    if (!m_failure.isEmpty())
        throw FileWriteError(m_path, m_failure);
}

void OutputFile::finish() {
    check();
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    QIODevice::close();
    // On the disk before the caller says it is done.
    if (::fsync(fd) != 0)
        m_failure = systemErrorText(errno);
    if (::close(fd) != 0 && m_failure.isEmpty() && errno != EINTR)
        m_failure = systemErrorText(errno);
    check();
}

void OutputFile::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (isOpen())
        QIODevice::close();
}

qint64 OutputFile::writeData(const char* data, qint64 length) {
    if (m_fd < 0 || !m_failure.isEmpty())
        return -1;
    m_failure = writeAllOrReason(m_fd, QByteArrayView(data, length), timing::kWriteTimeout);
    if (!m_failure.isEmpty()) {
        setErrorString(m_failure);
        return -1;
    }
    return length;
}

} // namespace pelmar::common
