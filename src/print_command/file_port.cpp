#include "print_command/file_port.h"

#include "common/byte_writer.h"
#include "common/timing.h"
#include "print_command/output_drain.h"
#include "print_command/port_failure.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmar::print_command {

FilePort::FilePort(const QString& path) : m_path(path), m_status(path, StatusInquiry::End::Ends) {
    const QByteArray native = path.toLocal8Bit();
    // A printer device is opened for reading too, for its status answers; one that refuses
    // reading is written to as before.
    struct stat info {};
    if (::stat(native.constData(), &info) == 0 && S_ISCHR(info.st_mode)) {
        m_fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        m_twoWay = m_fd >= 0;
    }
    if (m_fd < 0)
        m_fd = ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0)
        throwPortFailure(path, systemReason(errno));
    if (::fstat(m_fd, &info) == 0)
        m_physical = S_ISCHR(info.st_mode);
}

std::optional<std::uint8_t> FilePort::askStatus(std::chrono::milliseconds wait) {
    if (m_fd < 0 || !m_twoWay)
        return std::nullopt;
    return m_status.ask(m_fd, wait);
}

FilePort::~FilePort() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void FilePort::write(const QByteArray& bytes) {
    if (m_fd < 0)
        throwPortFailure(m_path, QStringLiteral("連接埠已關閉"));
    common::writeAll(m_fd, bytes, common::timing::kWriteTimeout, m_path);
}

void FilePort::close() {
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    // A printer device without status cannot say it printed: its queued bytes must go out first.
    if (m_physical) {
        try {
            drainOutput(fd, common::timing::kWriteTimeout, m_path);
        } catch (...) {
            ::close(fd);
            throw;
        }
    }
    if (::close(fd) != 0 && errno != EINTR)
        throwPortFailure(m_path, systemReason(errno));
}

} // namespace pelmar::print_command
