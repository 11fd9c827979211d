#pragma once

#include "common/clock.h"
#include "common/message_box.h"
#include "common/run_tally.h"
#include "common/run_view.h"
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
};

// How a run ended, for callers that report on their own (the headless tool).
struct DriverRunResult {
    enum class Outcome { Completed, Cancelled, Failed };
    Outcome outcome = Outcome::Completed;
    int errorNumber = 0; // when Failed
    // Failed on a record's value (a quantity beyond 16 bits, barcode data its font refuses): a
    // data error, not a printer one.
    bool dataFailure = false;
    int labelsPrinted = 0;  // jobs ended (records), copies not counted
    common::RunTally tally; // labels (copies), records printed, records left out
};

// Prints every record on the loaded format, one job per record with the record's quantity as
// copies, showing progress, pausing 2 seconds after each job while events are processed, and
// stopping when CancelRequested is set; then completes the page's output (finishDocument). A
// failure, a failure to complete the output included, is shown ("PrintLabels_Driver -> 發生錯誤")
// and the open page aborted; the jobs ended before it are kept. Nothing throws. A record whose
// quantity is below 0 prints nothing and goes into tally.leftOut, and the run goes on; a quantity
// beyond 16 bits fails the run as a data failure whose message names the record and the value.
DriverRunResult PrintLabels_Driver(DriverRunContext& context);

} // namespace pelmar::print_driver
