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

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace pelmar::cli {

namespace {

state::WorkingState settingsOf(const QString& programFolder) {
    state::WorkingState settings;
    settings.programFolder = programFolder;
    state::LoadSettings(settings);
    return settings;
}

// The program folder's journal; throws RunError when its settings or the journal cannot be read.
std::unique_ptr<journal::Journal> openJournal(const QString& programFolder) {
    return journal::Journal::open(app::journalPath(settingsOf(programFolder)));
}

QString formatOption(const state::WorkingState& settings, const QString& formatName) {
    for (int i = 1; i <= settings.labelCount; ++i)
        if (settings.labelNames.at(i).compare(formatName, Qt::CaseInsensitive) == 0)
            return settings.labelNames.at(i);
    return settings.labelCount > 1 ? settings.labelNames.at(1) : QString();
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

std::variant<ReprintJob, common::CaughtError> prepareReprint(const options::PrintOptions& options,
                                                             const QString& programFolder) {
    ReprintJob job;
    job.run = options.reprint;
    const auto refused = [](const QString& why) {
        return common::CaughtError{common::InvalidArgument, why};
    };
    try {
        const state::WorkingState settings = settingsOf(programFolder);
        const std::unique_ptr<journal::Journal> journal =
            journal::Journal::open(app::journalPath(settings));
        const std::optional<journal::RunRow> run = journal->run(options.reprint);
        if (!run)
            return refused(QStringLiteral("列印記錄簿 %1 沒有第 %2 次列印")
                               .arg(journal->path())
                               .arg(options.reprint));
        job.folder = std::make_unique<QTemporaryDir>();
        // Only the base name is kept, so the copy cannot be written outside its folder.
        const QString name = QFileInfo(run->dataFileName).fileName();
        job.dataPath = job.folder->filePath(name.isEmpty() ? QStringLiteral("data.txt") : name);
        QFile copy(job.dataPath);
        if (!job.folder->isValid() || !copy.open(QIODevice::WriteOnly) ||
            copy.write(journal->dataBytes(job.run)) < 0 || !copy.flush())
            return refused(QStringLiteral("無法寫入第 %1 次列印的資料檔副本 %2: %3")
                               .arg(job.run)
                               .arg(job.dataPath, job.folder->isValid()
                                                      ? copy.errorString()
                                                      : job.folder->errorString()));
        job.formatName = run->formatName;
        job.formatBytes = journal->formatBytes(job.run);
        job.formatOption = formatOption(settings, run->formatName);
        return job;
    } catch (...) {
        return common::caughtError();
    }
}

void applyReprint(app::AppContext& context, const ReprintJob& job) {
    context.runSource = journal::RunSource::Reprint;
    context.reprintOf = job.run;
    context.formatCopyName = job.formatName;
    context.formatCopy = job.formatBytes;
    context.saveRunSettings = [](state::WorkingState&) {};
}

} // namespace pelmar::cli
