#pragma once

#include "shell/options/print_options.h"

#include <QString>

namespace pelmar::cli {

// Serves the folder of options.watch (or the settings' [Watch] Folder for "-") until SIGTERM or
// SIGINT: each complete file is claimed into work/, printed as `--data FILE` prints it, under the
// program folder's lock, and moved to done/ or error/; one line per file on standard error.
// Files a crash left in work/ print first. The exit status: 0 when a signal ended it, 2 when
// the folder cannot be served at all. Throws nothing a print run does not throw.
int serveWatchedFolder(const options::PrintOptions& options, const QString& programFolder);

} // namespace pelmar::cli
