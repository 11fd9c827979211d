#include "print_command/port_failure.h"

#include "common/run_error.h"
#include "common/system_error_text.h"

namespace pelmar::print_command {

void throwPortFailure(const QString& address, const QString& reason) {
    throw common::RunError(common::PrinterError,
                           QStringLiteral("無法連接印表機 %1: %2").arg(address, reason));
}

QString systemReason(int errnum) {
    return common::systemErrorText(errnum);
}

} // namespace pelmar::print_command
