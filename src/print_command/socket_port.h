#pragma once

#include "common/byte_port.h"
#include "common/timing.h"
#include "print_command/status_inquiry.h"

#include <QString>
#include <chrono>

namespace pelmar::print_command {

// A TCP connection to a printer (socket://HOST[:PORT], port 9100 by default), held from openport
// to closeport. Connecting and every write give up after their timeouts, so a printer that never
// reads cannot hang the run.
class SocketPort : public common::BytePort {
public:
    // Connects; throws RunError(482) when the host is unknown, refuses or does not answer.
    SocketPort(const QString& host, int port,
               std::chrono::milliseconds connectTimeout = common::timing::kConnectTimeout,
               std::chrono::milliseconds writeTimeout = common::timing::kWriteTimeout);
    ~SocketPort() override;
    SocketPort(const SocketPort&) = delete;
    SocketPort& operator=(const SocketPort&) = delete;

    // Throws RunError(482) when the peer has closed the connection or stops reading.
    void write(const QByteArray& bytes) override;
    // Throws RunError(482) when the peer has closed the connection meanwhile.
    void endJob() override;
    // Waits while the bytes not yet taken by the printer go out, then closes; throws
    // RunError(482) when they stop going out for the write timeout (or the peer hangs up),
    // the connection being closed all the same.
    void close() override;
    bool isPhysical() const override { return true; }
    // Throws RunError(482) when the peer has closed the connection.
    std::optional<std::uint8_t> askStatus(std::chrono::milliseconds wait) override;

private:
    void checkPeerOpen();
    void release();
    QString address() const;

    QString m_host;
    int m_port;
    std::chrono::milliseconds m_writeTimeout;
    int m_fd = -1;
    bool m_writeFailed = false;
    StatusInquiry m_status;
};

} // namespace pelmar::print_command
