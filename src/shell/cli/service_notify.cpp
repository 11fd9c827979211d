#include "shell/cli/service_notify.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace pelmar::cli {

bool notifyServiceManager(const char* state) {
    const char* socketName = std::getenv("NOTIFY_SOCKET");
    if (socketName == nullptr || (socketName[0] != '/' && socketName[0] != '@'))
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t length = std::strlen(socketName);
    if (length >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, socketName, length);
    if (address.sun_path[0] == '@')
        address.sun_path[0] = '\0'; // abstract: the name is not zero-terminated
    const auto addressLength = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const std::size_t size = std::strlen(state);
    const bool sent =
        ::sendto(fd, state, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address),
                 addressLength) == static_cast<ssize_t>(size);
    ::close(fd);
    return sent;
}

} // namespace pelmar::cli
