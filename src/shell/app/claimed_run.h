#pragma once

#include "journal/journal.h"

#include <QString>
#include <optional>
#include <vector>

namespace pelmar::app {

// The run that printed a claimed file to its end, and its records in doubt.
struct FinishedClaim {
    journal::RunRow run;
    std::vector<int> inDoubt;
};

// What the journal at journalFile holds of the file a crash left at workPath (in a watched
// folder's work/): the run of that name and bytes that started after the claim (the rename's
// change time) and finished, when the service died before it filed the file away; nothing when
// the file has still to print or to go on printing (its run unfinished). An earlier copy with the
// same name and bytes printed before the claim does not count. Throws RunError(57) when the
// journal cannot be read, RunError(75) when the file cannot.
std::optional<FinishedClaim> finishedSinceClaim(const QString& journalFile,
                                                const QString& workPath);

} // namespace pelmar::app
