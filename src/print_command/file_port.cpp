#include "print_command/file_port.h"

#include "print_command/port_failure.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmar::print_command {

FilePort::FilePort(const QString& path) : m_path(path) {
    const QByteArray native = path.toLocal8Bit();
    m_fd = ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0)
        throwPortFailure(path, systemReason(errno));
    struct stat info {};
    if (::fstat(m_fd, &info) == 0)
        m_physical = S_ISCHR(info.st_mode);
}

FilePort::~FilePort() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void FilePort::write(const QByteArray& bytes) {
    if (m_fd < 0)
        throwPortFailure(m_path, QStringLiteral("連接埠已關閉"));
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throwPortFailure(m_path, systemReason(errno));
        }
        data += written;
        left -= written;
    }
}

void FilePort::close() {
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throwPortFailure(m_path, systemReason(errno));
}

} // namespace pelmar::print_command
