#include "print_command/socket_port.h"

#include "common/byte_writer.h"
#include "common/system_error_text.h"
#include "print_command/output_drain.h"
#include "print_command/port_failure.h"

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pelmar::print_command {

namespace {

// Waits for events on fd; returns the events seen, 0 on timeout.
short pollFor(int fd, short events, std::chrono::milliseconds timeout) {
    pollfd entry{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, static_cast<int>(timeout.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0 ? entry.revents : 0;
    }
}

} // namespace

SocketPort::SocketPort(const QString& host, int port, std::chrono::milliseconds connectTimeout,
                       std::chrono::milliseconds writeTimeout)
    : m_host(host), m_port(port), m_writeTimeout(writeTimeout),
      m_status(address(), StatusInquiry::End::Closes) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const QByteArray service = QByteArray::number(port);
    const int status =
        ::getaddrinfo(host.toUtf8().constData(), service.constData(), &hints, &found);
    if (status != 0)
        throwPortFailure(address(), common::hostLookupErrorText(status));

    QString reason = QStringLiteral("無法連線");
    for (addrinfo* candidate = found; candidate && m_fd < 0; candidate = candidate->ai_next) {
        const int fd =
            ::socket(candidate->ai_family, candidate->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                     candidate->ai_protocol);
        if (fd < 0) {
            reason = systemReason(errno);
            continue;
        }
        int error = 0;
        if (::connect(fd, candidate->ai_addr, candidate->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                if (pollFor(fd, POLLOUT, connectTimeout) == 0) {
                    error = ETIMEDOUT;
                } else {
                    socklen_t length = sizeof error;
                    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                        error = errno;
                }
            }
        }
        if (error != 0) {
            reason = systemReason(error);
            ::close(fd);
            continue;
        }
        // Status inquiries are a few bytes each: sent at once, not held back until the printer
        // acknowledges what came before (which costs tens of milliseconds a record).
        const int noDelay = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
        m_fd = fd;
    }
    ::freeaddrinfo(found);
    if (m_fd < 0)
        throwPortFailure(address(), reason);
}

SocketPort::~SocketPort() {
    if (m_fd >= 0)
        ::close(m_fd);
}

QString SocketPort::address() const {
    return QStringLiteral("socket://%1:%2").arg(m_host).arg(m_port);
}

void SocketPort::checkPeerOpen() {
    // Anything readable between inquiries is either a late status answer (dropped) or the end
    // of the connection.
    char scratch[256];
    for (;;) {
        const ssize_t got = ::recv(m_fd, scratch, sizeof scratch, MSG_DONTWAIT);
        if (got > 0) {
            m_status.dropped(got);
            continue;
        }
        if (got == 0)
            throwPortFailure(address(), QStringLiteral("印表機已中斷連線"));
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return;
        throwPortFailure(address(), systemReason(errno));
    }
}

void SocketPort::write(const QByteArray& bytes) {
    if (m_fd < 0)
        throwPortFailure(address(), QStringLiteral("連接埠已關閉"));
    try {
        checkPeerOpen();
        common::writeAll(m_fd, bytes, m_writeTimeout, address());
    } catch (...) {
        m_writeFailed = true;
        throw;
    }
}

void SocketPort::endJob() {
    if (m_fd >= 0)
        checkPeerOpen();
}

std::optional<std::uint8_t> SocketPort::askStatus(std::chrono::milliseconds wait) {
    if (m_fd < 0)
        throwPortFailure(address(), QStringLiteral("連接埠已關閉"));
    return m_status.ask(m_fd, wait);
}

void SocketPort::close() {
    if (m_fd < 0)
        return;
    try {
        // After a failed write the printer has stopped taking bytes: nothing to wait for.
        if (!m_writeFailed)
            drainOutput(m_fd, m_writeTimeout, address(), [this] { checkPeerOpen(); });
    } catch (...) {
        release();
        throw;
    }
    release();
}

void SocketPort::release() {
    const int fd = m_fd;
    m_fd = -1;
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

} // namespace pelmar::print_command
