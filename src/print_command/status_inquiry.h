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
    enum class End { Closes, Ends }; // what reading nothing (end of file) means on the descriptor

    StatusInquiry(QString address, End end) : m_address(std::move(address)), m_end(end) {}

    // Sends <ESC>!? on fd and waits up to wait for the answers of every inquiry still open; the
    // answer of this one, or nothing when it has not come in time (or the descriptor reads end
    // of file where that is not a hang-up). Throws RunError(482) when the printer hangs up or
    // the descriptor fails.
    std::optional<std::uint8_t> ask(int fd, std::chrono::milliseconds wait);
    // count bytes read elsewhere and dropped: answers of inquiries still open.
    void dropped(long long count);

private:
    QString m_address;
    End m_end;
    long long m_unanswered = 0;
};

} // namespace pelmar::print_command
