#include "print_command/port_failure.h"

#include "common/run_error.h"

#include <cstring>

namespace pelmar::print_command {

void throwPortFailure(const QString& address, const QString& reason) {
    throw common::RunError(common::PrinterError,
                           QStringLiteral("無法連接印表機 %1: %2").arg(address, reason));
}

QString systemReason(int errnum) {
    return QString::fromLocal8Bit(std::strerror(errnum));
}

} // namespace pelmar::print_command
