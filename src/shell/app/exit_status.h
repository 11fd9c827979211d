#pragma once

#include "shell/app/app_context.h"

namespace pelmar::app {

// The exit statuses of pelmar and pelmar-print. A run that printed has a status above 6 when it
// did not print all that was asked or could not keep its settings, so that a script can tell
// "print again" (2 to 6) from "printed, look at the messages" (7 to 9).
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
};

// The exit status of a flow's end. A failure or a cancel (2 to 6) outranks what a run that went
// through adds; among those, records left out (7) outrank settings not saved (9), which outrank
// warnings (8): what was not printed matters first, then what the next start reads, then how.
// Ends that leave the window open (interactive, print panel, no format selected) are 0; every
// other end that printed nothing (settings incomplete or refused) is 2.
int exitStatus(const FlowResult& result);

} // namespace pelmar::app
