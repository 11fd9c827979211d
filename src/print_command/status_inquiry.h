#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

namespace pelmar::print_command {

// The status inquiry <ESC>!? on a two-way descriptor (a TCP connection, a printer device opened
// for reading): sends it, reads the one-byte answer. An inquiry the printer answers late is still
// counted, so that its answer is never taken for that of a later inquiry.
class StatusInquiry {
public:
    // What end of file or a read error means: a connection closed (a failure) or a device
    // without a back channel (no status).
    enum class End { Closes, Ends };

    StatusInquiry(QString address, End end) : m_address(std::move(address)), m_end(end) {}

    // Sends <ESC>!? on fd and waits up to wait for the answers of every inquiry still open; the
    // answer of this one, or nothing when it has not come in time (or a device reads end of
    // file or cannot be read). Throws RunError(482) when the inquiry cannot be sent, or a
    // connection is closed or fails.
    std::optional<std::uint8_t> ask(int fd, std::chrono::milliseconds wait);
    // count bytes read elsewhere and dropped: answers of inquiries still open.
    void dropped(long long count);

private:
    QString m_address;
    End m_end;
    long long m_unanswered = 0;
};

} // namespace pelmar::print_command
