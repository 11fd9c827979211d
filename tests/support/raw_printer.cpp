#include "support/raw_printer.h"

#include "support/loopback_listener.h"

#include <poll.h>
#include <unistd.h>

namespace pelmar::test {

RawPrinter::RawPrinter() {
    m_listener = listenOnLoopback(&m_port);
    ::listen(m_listener, 16);
    m_thread = std::thread([this] { serve(); });
}

RawPrinter::~RawPrinter() {
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

std::vector<QByteArray> RawPrinter::connections() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

void RawPrinter::serve() {
    struct Open {
        int fd;
        size_t index;   // into m_received
        qsizetype seen; // bytes already searched for inquiries
    };
    std::vector<Open> open;
    static const QByteArray inquiry("\x1b!?");
    while (!m_stop) {
        std::vector<pollfd> fds{{m_listener, POLLIN, 0}};
        for (const Open& connection : open)
            fds.push_back({connection.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), 20) <= 0)
            continue;
        for (size_t i = fds.size(); i-- > 1;) {
            if (!fds[i].revents)
                continue;
            Open& connection = open[i - 1];
            char buffer[65536];
            const ssize_t got = ::read(connection.fd, buffer, sizeof buffer);
            if (got <= 0) {
                ::close(connection.fd);
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(i - 1));
                continue;
            }
            std::lock_guard lock(m_mutex);
            QByteArray& bytes = m_received[connection.index];
            bytes.append(buffer, got);
            // An inquiry may come split across reads: search from two bytes back.
            for (qsizetype at = bytes.indexOf(inquiry, std::max<qsizetype>(connection.seen - 2, 0));
                 at >= 0; at = bytes.indexOf(inquiry, at + inquiry.size()))
                (void)!::write(connection.fd, "\0", 1);
            connection.seen = bytes.size();
        }
        if (fds[0].revents & POLLIN) {
            const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                std::lock_guard lock(m_mutex);
                m_received.emplace_back();
                open.push_back({fd, m_received.size() - 1, 0});
            }
        }
    }
    for (const Open& connection : open)
        ::close(connection.fd);
}

} // namespace pelmar::test
