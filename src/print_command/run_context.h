#pragma once

#include "common/clock.h"
#include "common/message_box.h"
#include "common/run_view.h"
#include "print_command/printer_library.h"
#include "state/working_state.h"

#include <QDate>
#include <functional>
#include <memory>

namespace pelmar::print_command {

// Makes the printer library for a printer name (tests hand in a recording one).
using LibraryFactory = std::function<std::unique_ptr<PrinterLibrary>(const QString& printerName)>;

// What a command-mode run works with: the working state and the seams to the outside world.
struct RunContext {
    state::WorkingState& state;
    common::MessageBox& messageBox;
    common::RunView& view;
    common::Clock& clock;
    common::EventPump& events;
    // Empty: the library of createPrinterLibrary (ports of section [Ports], CUPS queues).
    LibraryFactory libraryFactory;
    // The date of "Date=" texts.
    QDate today;
};

// The library the run uses for the printer name.
std::unique_ptr<PrinterLibrary> makeLibrary(const RunContext& context);

} // namespace pelmar::print_command
