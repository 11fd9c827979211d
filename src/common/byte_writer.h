#pragma once

#include <QByteArrayView>
#include <QString>
#include <chrono>

namespace pelmar::common {

// Writes every byte to fd (a socket, pipe, device or file): goes on after partial writes and
// interrupted calls, and waits while a non-blocking descriptor is full, up to timeout without any
// byte taken. A peer that has gone fails the call; it never raises SIGPIPE. Returns an empty text
// when all was written, else the reason in Traditional Chinese. Never throws.
QString writeAllOrReason(int fd, QByteArrayView bytes, std::chrono::milliseconds timeout);

// writeAllOrReason for a printer's port at address; throws RunError(482) "無法連接印表機
// ADDRESS: REASON" when not every byte was written.
void writeAll(int fd, QByteArrayView bytes, std::chrono::milliseconds timeout,
              const QString& address);

// Throws RunError(482) "無法連接印表機 ADDRESS: REASON" for a port that cannot be opened or fails
// while written to.
[[noreturn]] void throwPortFailure(const QString& address, const QString& reason);

} // namespace pelmar::common
