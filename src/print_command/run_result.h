#pragma once

#include "common/run_tally.h"

namespace pelmar::print_command {

enum class RunOutcome { Completed, Cancelled, Failed };

// How a print run ended, in either print mode.
struct RunResult {
    RunOutcome outcome = RunOutcome::Completed;
    int errorNumber = 0; // the failure's number when Failed
    // Failed on a record's value (a quantity beyond 16 bits, barcode data its font refuses): a
    // data error, not a printer one.
    bool dataFailure = false;
    // Records whose label went out: print requests the printer library took (command mode) or
    // jobs ended (driver mode).
    int labelsRequested = 0;
    common::RunTally tally; // labels, records printed, records left out, the output's warnings
};

} // namespace pelmar::print_command
