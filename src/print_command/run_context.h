#pragma once

#include "common/clock.h"
#include "common/message_box.h"
#include "common/run_view.h"
#include "print_command/printer_library.h"
#include "print_command/record_journal.h"
#include "print_queue/print_system.h"
#include "state/working_state.h"

#include <QDate>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

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
    // The first record to print; the records before it are left alone (resuming after a fault).
    int firstRecord = 1;
    // The last record to print (0: the last of the data file).
    int lastRecord = 0;
    // A printer fault during a status-paced run: nothing asks the operator to fix it and go on
    // or cancel (the window); a time waits that long for the fault to clear, then fails the run.
    std::optional<std::chrono::milliseconds> faultWait = std::nullopt;
    // The print system of the CUPS queues the default library prints to (empty: a printer name
    // that is no port cannot be printed to).
    print_queue::PrintSystem* printSystem = nullptr;
    // Told of every record's steps (none when empty).
    RecordJournal* journal = nullptr;
};

// The library the run uses for the printer name.
std::unique_ptr<PrinterLibrary> makeLibrary(const RunContext& context);

} // namespace pelmar::print_command
