#pragma once

#include "common/byte_port.h"

#include <QString>

namespace pelmar::print_command {

// Bytes appended to a file or written to a device (/dev/usb/lp0). Only a character device is a
// physical printer.
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

private:
    QString m_path;
    int m_fd = -1;
    bool m_physical = false;
};

} // namespace pelmar::print_command
