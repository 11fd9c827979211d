#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

namespace pelmar::print_command {

// The status inquiry <ESC>!? on a two-way descriptor (a TCP connection, a printer device opened
// for reading): sends it, reads the one-byte answer. Only one inquiry is open at a time: one the
// printer answers late is not asked again, and its answer is taken when it comes.
class StatusInquiry {
public:
    // What end of file or a read error means: a connection closed (a failure) or a device
    // without a back channel (no status).
    enum class End { Closes, Ends };

    StatusInquiry(QString address, End end) : m_address(std::move(address)), m_end(end) {}

    // Sends <ESC>!? on fd unless an inquiry is still open, and waits up to wait for the open
    // inquiry's answer; nothing when it has not come in time (or a device reads end of file or
    // cannot be read). Throws RunError(482) when the inquiry cannot be sent, or a
    // connection is closed or fails.
    std::optional<std::uint8_t> ask(int fd, std::chrono::milliseconds wait);
    // count bytes read elsewhere and dropped: the answer of the inquiry still open.
    void dropped(long long count);

private:
    QString m_address;
    End m_end;
    long long m_unanswered = 0;
};

} // namespace pelmar::print_command
