#pragma once

#include "common/byte_port.h"
#include "print_command/status_inquiry.h"

#include <QString>

namespace pelmar::print_command {

// Bytes appended to a file or written to a device (/dev/usb/lp0). Only a character device is a
// physical printer; one that can be opened for reading as well answers status inquiries.
class FilePort : public common::BytePort {
public:
    // Opens path for appending (a missing regular file is created); throws RunError(482) when it
    // cannot.
    explicit FilePort(const QString& path);
    ~FilePort() override;
    FilePort(const FilePort&) = delete;
    FilePort& operator=(const FilePort&) = delete;

    void write(const QByteArray& bytes) override;
    void close() override;
    bool isPhysical() const override { return m_physical; }
    // Nothing for a file or a device opened for writing only.
    std::optional<std::uint8_t> askStatus(std::chrono::milliseconds wait) override;

private:
    QString m_path;
    int m_fd = -1;
    bool m_physical = false;
    bool m_twoWay = false;
    StatusInquiry m_status;
};

} // namespace pelmar::print_command
