#include "print_command/port_failure.h"

#include "common/system_error_text.h"

namespace pelmar::print_command {

QString systemReason(int errnum) {
    return common::systemErrorText(errnum);
}

} // namespace pelmar::print_command
