#include "common/byte_writer.h"

#include "common/run_error.h"
#include "common/system_error_text.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <optional>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pelmar::common {

namespace {

// Holds SIGPIPE back from this thread while a pipe or device is written, so that a reader that
// has gone makes the write fail with EPIPE instead of ending the program; a SIGPIPE the write
// raised is taken back before the signal is let through again.
class SigpipeHeld {
public:
    SigpipeHeld() {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_before);
    }
    ~SigpipeHeld() {
        if (m_raised && !m_wasPending) {
            const timespec now{};
            while (sigtimedwait(&m_pipe, nullptr, &now) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
    }
    SigpipeHeld(const SigpipeHeld&) = delete;
    SigpipeHeld& operator=(const SigpipeHeld&) = delete;

    void raised() { m_raised = true; }

private:
    sigset_t m_pipe;
    sigset_t m_before;
    bool m_wasPending = false;
    bool m_raised = false;
};

// One call's worth of bytes to fd: send() on a socket (no SIGPIPE), write() on anything else.
class Writer {
public:
    explicit Writer(int fd) : m_fd(fd) {}

    ssize_t put(const char* data, std::size_t size) {
        if (m_socket) {
            const ssize_t sent = ::send(m_fd, data, size, MSG_NOSIGNAL);
            if (sent >= 0 || errno != ENOTSOCK)
                return sent;
            m_socket = false;
        }
        if (!m_held)
            m_held.emplace();
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0 && errno == EPIPE)
            m_held->raised();
        return written;
    }

private:
    int m_fd;
    bool m_socket = true;
    std::optional<SigpipeHeld> m_held;
};

} // namespace

QString writeAllOrReason(int fd, QByteArrayView bytes, std::chrono::milliseconds timeout) {
    Writer writer(fd);
    const char* data = bytes.data();
    std::size_t left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        const ssize_t put = writer.put(data, left);
        if (put > 0) {
            data += put;
            left -= static_cast<std::size_t>(put);
            continue;
        }
        if (put == 0)
            return systemErrorText(EIO);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return systemErrorText(errno);
        pollfd entry{fd, POLLOUT, 0};
        int ready = 0;
        do
            ready = ::poll(&entry, 1, static_cast<int>(timeout.count()));
        while (ready < 0 && errno == EINTR);
        if (ready < 0)
            return systemErrorText(errno);
        if (ready == 0)
            return QStringLiteral("印表機逾時未接收資料");
        if ((entry.revents & (POLLERR | POLLHUP)) != 0 && (entry.revents & POLLOUT) == 0)
            return QStringLiteral("印表機已中斷連線");
    }
    return {};
}

void writeAll(int fd, QByteArrayView bytes, std::chrono::milliseconds timeout,
              const QString& address) {
    if (const QString reason = writeAllOrReason(fd, bytes, timeout); !reason.isEmpty())
        throwPortFailure(address, reason);
}

void throwPortFailure(const QString& address, const QString& reason) {
    throw RunError(PrinterError, QStringLiteral("無法連接印表機 %1: %2").arg(address, reason));
}

} // namespace pelmar::common
