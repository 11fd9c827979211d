#include "print_command/status_inquiry.h"

#include "common/byte_writer.h"
#include "common/timing.h"
#include "print_command/port_failure.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace pelmar::print_command {

namespace {

const char kInquiry[] = {'\x1b', '!', '?'};

} // namespace

std::optional<std::uint8_t> StatusInquiry::ask(int fd, std::chrono::milliseconds wait) {
    // One inquiry at a time: while one is open its answer, however late, is the one awaited;
    // asking again would only queue answers the printer still owes.
    if (m_unanswered == 0) {
        common::writeAll(fd, QByteArrayView(kInquiry, sizeof kInquiry),
                         common::timing::kStatusSendTimeout, m_address);
        m_unanswered = 1;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd entry{fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::nullopt;
        unsigned char answer = 0;
        const ssize_t got = ::read(fd, &answer, 1);
        if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        // A device that cannot be read (a printer without a back channel) has no status.
        if (got < 0 && m_end == End::Ends)
            return std::nullopt;
        if (got < 0)
            throwPortFailure(m_address, systemReason(errno));
        if (got == 0) {
            if (m_end == End::Closes)
                throwPortFailure(m_address, QStringLiteral("印表機已中斷連線"));
            return std::nullopt;
        }
        m_unanswered = 0;
        return answer;
    }
}

void StatusInquiry::dropped(long long count) {
    m_unanswered = std::max(0LL, m_unanswered - count);
}

} // namespace pelmar::print_command
