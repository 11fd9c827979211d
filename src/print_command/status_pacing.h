#pragma once

#include "print_command/printer_library.h"
#include "print_command/run_context.h"

#include <QString>
#include <chrono>
#include <cstdint>

namespace pelmar::print_command {

enum class PaceEnd { Printed, Cancelled };

// Waits until the printer has printed record, the last one sent (its status no longer
// "printing", no fault), asking every timing::kStatusPollInterval and letting the window work
// meanwhile. A fault is shown at once under caption with the record the printer last finished;
// then, with context.faultWait empty, the operator fixes it and chooses to go on (Yes: the wait
// goes on, nothing is sent again) or to cancel (No); with a faultWait the run waits that long for
// the fault to clear. Ends Cancelled when the operator cancels. Throws RunError(482) for a fault
// not cleared in the faultWait (naming the record to resume from), a printer silent for
// timing::kStatusSilenceLimit after the inquiry it was sent, one that hangs up, or one still
// not done after printingTime (the record's estimate) times timing::kPrintingTimeFactor, at
// least timing::kPrintingLimitFloor (naming the record).
PaceEnd waitForPrinter(RunContext& context, PrinterLibrary& library, int record,
                       std::chrono::milliseconds printingTime, const QString& caption);

// What a fault status says with record sent last: the printer's state, the last record it
// finished and whether record is still in the printer.
QString faultReport(std::uint8_t status, int record);

} // namespace pelmar::print_command
