#pragma once

#include "common/clock.h"
#include "common/message_box.h"
#include "common/run_view.h"
#include "print_command/run_result.h"
#include "print_driver/printer_page.h"
#include "state/working_state.h"

#include <QDate>

namespace pelmar::print_driver {

// What a driver-mode run works with: the working state, the window's seams, the clock and event
// pump of the pause, the current printer's page and today's date (fixed texts with "Date=").
struct DriverRunContext {
    state::WorkingState& state;
    common::MessageBox& messageBox;
    common::RunView& view;
    common::Clock& clock;
    common::EventPump& events;
    PrinterPage& page;
    QDate today;
    // The records to print: firstRecord to lastRecord (0: the last of the data file).
    int firstRecord = 1;
    int lastRecord = 0;
};

// Prints the records of the context's range on the loaded format through printRecords, one job per
// record with the record's label rows as copies (labels: the copies), pausing 2 seconds after each
// job while events are processed (a cancel does not shorten the pause) unless the page's jobs are
// held until printed and DriverPacing is on, and stopping when
// CancelRequested is set; then completes the page's output (finishDocument), the page being drawn
// aborted after a cancel. A failure, a failure to complete the output included, is shown
// ("PrintLabels_Driver -> 發生錯誤") and the open page aborted; the jobs ended before it are kept.
// Barcode data its font refuses is a data failure. Nothing throws.
print_command::RunResult PrintLabels_Driver(DriverRunContext& context);

} // namespace pelmar::print_driver
