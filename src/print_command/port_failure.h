#pragma once

#include "common/byte_writer.h"

#include <QString>

namespace pelmar::print_command {

// Throws RunError(482) "無法連接印表機 ADDRESS: REASON" for a port that cannot be opened or
// fails while written to.
using common::throwPortFailure;

// The Traditional Chinese text of the C library's error number errnum.
QString systemReason(int errnum);

} // namespace pelmar::print_command
