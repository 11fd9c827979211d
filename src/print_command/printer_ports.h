#pragma once

#include "common/byte_port.h"
#include "common/clock.h"
#include "print_command/printer_library.h"
#include "print_queue/print_system.h"
#include "state/working_state.h"

#include <QString>
#include <memory>

namespace pelmar::print_command {

// The port address of a printer: the address of section [Ports] for a name listed there (letter
// case ignored), the name itself when it is an address, else the name as a CUPS queue.
QString portAddress(const state::WorkingState& state, const QString& printerName);

// Opens the byte port of an address that is not trace:. Relative paths of file: and preview: are
// taken from the program folder; any other name is a queue of printSystem, each job followed
// with `wait`. Throws RunError(482) "無法連接印表機..." when it cannot (a queue without a print
// system among them).
std::unique_ptr<common::BytePort> openBytePort(const state::WorkingState& state,
                                               const QString& address, common::WaitServices wait,
                                               print_queue::PrintSystem* printSystem);

// The printer library for a printer name: the trace library for a trace: address, else TSPL
// bytes on the printer's port (opened at openport). The state, the wait's clock and pump and the
// print system must outlive the library.
std::unique_ptr<PrinterLibrary> createPrinterLibrary(const state::WorkingState& state,
                                                     const QString& printerName,
                                                     common::WaitServices wait,
                                                     print_queue::PrintSystem* printSystem);

} // namespace pelmar::print_command
