#include "shell/cli/journal_commands.h"

#include "common/file_lock.h"
#include "common/file_names.h"
#include "common/run_error.h"
#include "shell/app/exit_status.h"
#include "shell/app/journal_listing.h"
#include "shell/app/journal_run.h"
#include "shell/app/run_locks.h"
#include "shell/cli/headless.h"
#include "state/settings.h"

#include <cstdio>

namespace pelmar::cli {

namespace {

// The program folder's journal; throws RunError when its settings or the journal cannot be read.
std::unique_ptr<journal::Journal> openJournal(const QString& programFolder) {
    state::WorkingState settings;
    settings.programFolder = programFolder;
    state::LoadSettings(settings);
    return journal::Journal::open(app::journalPath(settings));
}

// A run without an end is still running while a live process holds its program folder.
app::RunProgress progressOf(const QString& programFolder) {
    const common::LockHolder holder = common::readLockHolder(
        common::joinPath(programFolder, QLatin1String(app::kProgramFolderLockName)));
    return holder.pid != 0 && common::isRunning(holder) ? app::RunProgress::Running
                                                        : app::RunProgress::Interrupted;
}

void printLine(const QString& line) {
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
}

} // namespace

int journalCommand(const options::PrintOptions& options, const QString& programFolder) {
    try {
        const std::unique_ptr<journal::Journal> journal = openJournal(programFolder);
        if (options.pruneDays >= 0) {
            const int removed = journal->prune(options.pruneDays);
            say(QStringLiteral("%1 run(s) older than %2 day(s) removed from %3")
                    .arg(removed)
                    .arg(options.pruneDays)
                    .arg(journal->path()));
            return app::kExitPrinted;
        }
        const app::RunProgress progress = progressOf(programFolder);
        if (options.journalRun > 0)
            app::listRecords(*journal, options.journalRun, options.json, progress, printLine);
        else
            app::listRuns(
                *journal, options.json, [progress](const journal::RunRow&) { return progress; },
                printLine);
        return app::kExitPrinted;
    } catch (...) {
        const common::CaughtError error = common::caughtError();
        say(error.description);
        return error.number == common::DeviceIoError ? app::kExitPrinterError
                                                     : app::kExitBadSettings;
    }
}

} // namespace pelmar::cli
