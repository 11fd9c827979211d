#pragma once

#include "shell/app/app_context.h"

namespace pelmar::app {

// The exit statuses of pelmar and pelmar-print. A run that printed has a status above 6 when it
// did not print all that was asked or could not keep its settings, so that a script can tell
// "print again" (2 to 6) from "printed, look at the messages" (7 to 10).
enum ExitStatus {
    kExitPrinted = 0,          // printed everything asked, or the data file had no lines
    kExitBadSettings = 2,      // settings or options unusable; nothing printed
    kExitDataError = 3,        // the data file could not be read, or a record's value ended the run
    kExitFormatError = 4,      // the format file could not be read
    kExitPrinterError = 5,     // no printer, or the printer failed during the run
    kExitCancelled = 6,        // the operator (or SIGINT, SIGTERM) cancelled
    kExitRecordsLeftOut = 7,   // printed, but some records printed nothing (listed)
    kExitWarnings = 8,         // printed, but the format or the output warned
    kExitSettingsNotSaved = 9, // printed, but the run settings could not be written
    kExitRecordsInDoubt = 10,  // printed, but some records may or may not have printed (listed)
};

// The exit status of a flow's end. A failure or a cancel (2 to 6) outranks what a run that went
// through adds; among those, records in doubt (10) outrank records left out (7), which outrank
// settings not saved (9), which outrank warnings (8): a record in doubt needs someone at the
// printer before anything is printed again (reprinting it blindly may put two labels on a
// shelf), then what was not printed matters, then what the next start reads, then how.
// Ends that leave the window open (interactive, print panel, no format selected) are 0; every
// other end that printed nothing (settings incomplete or refused) is 2.
int exitStatus(const FlowResult& result);

// An exit status in a few English words, as the journal keeps a run's outcome ("printed",
// "records in doubt"); "exit status N" for one without words.
QString exitStatusWord(int status);

} // namespace pelmar::app
