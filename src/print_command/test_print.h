#pragma once

#include "print_command/run_context.h"

#include <QString>

namespace pelmar::print_command {

// Prints the current record once with the loaded format in "Send Command" mode, asking for
// quantityText sets exactly as typed; no cancel points and no "!104" prefix. A failure closes
// the port and is thrown (RunError) to the caller, which reports it.
void TestPrint(RunContext& context, const QString& quantityText);

} // namespace pelmar::print_command
