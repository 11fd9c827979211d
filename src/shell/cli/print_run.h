#pragma once

#include "shell/app/reprint.h"
#include "shell/app/run_locks.h"
#include "shell/options/print_options.h"

#include <QString>
#include <optional>

namespace pelmar::cli {

// One print of pelmar-print: its options, its program folder (absolute, existing) and its locks,
// the program folder's already held by the caller (unless a dry run).
struct PrintRequest {
    const options::PrintOptions& options;
    QString programFolder;
    app::RunLocks& locks;
    QString source = QStringLiteral("command"); // who started it: "command" or "watch"
    bool quiet = false; // no line per record (a watched folder logs one line per file)
    const app::ReprintJob* reprint = nullptr; // a reprint of a journal's run
};

// How a print ended: its exit status (app::ExitStatus), the labels and records it printed.
struct PrintOutcome {
    int status = 0;
    long long labels = 0;
    long long records = 0;
};

// Checks the options against the settings of the program folder before anything is read or
// printed, so that a choice the flow would need and the options do not give is an error at once:
// why the run is refused, or nothing. A settings file that cannot be read is left to the flow,
// which reports it. Never throws.
std::optional<QString> settingsRefusal(const options::PrintOptions& options,
                                       const QString& programFolder);

// Prints as the program does when started without /T, with the operator's choices taken from
// the options, and says what it did on standard error. Throws what an unexpected failure throws.
PrintOutcome printRun(const PrintRequest& request);

} // namespace pelmar::cli
