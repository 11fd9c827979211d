#pragma once

#include "shell/options/print_options.h"

#include <QString>

namespace pelmar::cli {

// pelmar-print --journal [RUN] [--json] and --journal-prune DAYS on a program folder: lists to
// standard output, says failures on standard error; returns the exit status (0, 2 for settings
// that cannot be read or a run the journal lacks, 5 for a journal that cannot be read or
// written).
int journalCommand(const options::PrintOptions& options, const QString& programFolder);

} // namespace pelmar::cli
