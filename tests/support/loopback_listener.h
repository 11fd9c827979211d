#pragma once

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pelmar::test {

// A listening TCP socket on 127.0.0.1 with a port the system chose; returns the descriptor and
// puts the port into *port. A receive window (bytes; 0: the system's) passes to the accepted
// sockets, so that a sender's queue fills after that much.
inline int listenOnLoopback(int* port, int receiveWindow = 0) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveWindow > 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveWindow, sizeof receiveWindow);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd, 1);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return fd;
}

// A port of 127.0.0.1 that nobody listens on: taken once, then released.
inline int unusedLoopbackPort() {
    int port = 0;
    ::close(listenOnLoopback(&port));
    return port;
}

// A listening socket on loopback that accepts when asked; the port is free again once closed.
class Listener {
public:
    Listener() { m_fd = listenOnLoopback(&m_port); }
    ~Listener() { close(); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    int accept() { return ::accept(m_fd, nullptr, nullptr); }
    int port() const { return m_port; }
    QString address() const { return QStringLiteral("socket://127.0.0.1:%1").arg(m_port); }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace pelmar::test
