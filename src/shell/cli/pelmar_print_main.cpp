// pelmar-print: automatic printing without a window, for cron jobs, ERP systems and servers
// without a display. Runs the start-up flow and the print button of the program with the
// operator's choices taken from options (see printUsage).
#include "common/allocator_tuning.h"
#include "common/file_names.h"
#include "common/run_error.h"
#include "shell/app/exit_status.h"
#include "shell/app/program_arguments.h"
#include "shell/app/reprint.h"
#include "shell/app/run_locks.h"
#include "shell/cli/headless.h"
#include "shell/cli/journal_commands.h"
#include "shell/cli/print_run.h"
#include "shell/cli/watch_service.h"
#include "shell/options/print_options.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <optional>

using namespace pelmar;

namespace {

using app::kExitBadSettings;
using app::kExitPrinted;
using app::kExitPrinterError;

// Holds the program folder for the whole run (settings read, labels, write-back), waiting as
// --wait-lock allows; the exit status when it cannot, having said why.
std::optional<int> holdProgramFolder(app::RunLocks& locks, const QString& programFolder) {
    state::WorkingState waiting;
    cli::HeadlessClock clock(waiting);
    try {
        locks.holdProgramFolder(programFolder,
                                {clock, clock, [&waiting] { return waiting.cancelRequested; }});
        return std::nullopt;
    } catch (const common::RunError& error) {
        cli::say(error.description());
        return error.number() == common::DialogCancelled ? app::kExitCancelled : kExitPrinterError;
    }
}

QString programFolderOf(const options::PrintOptions& options) {
    return options.home.isEmpty() ? common::programFolder()
                                  : QFileInfo(options.home).absoluteFilePath();
}

int run(options::PrintOptions options) {
    const QString programFolder = programFolderOf(options);
    if (!QFileInfo(programFolder).isDir()) {
        cli::say(QStringLiteral("程式資料夾 %1 不存在").arg(programFolder));
        return kExitBadSettings;
    }
    if (options.journal || options.pruneDays >= 0)
        return cli::journalCommand(options, programFolder);
    if (!options.watch.isEmpty())
        return cli::serveWatchedFolder(options, programFolder);
    std::optional<app::ReprintJob> reprint;
    if (options.reprint > 0) {
        try {
            reprint = app::prepareReprint(programFolder, options.reprint);
        } catch (...) {
            const common::CaughtError refused = common::caughtError();
            cli::say(refused.description);
            return refused.number == common::DeviceIoError ? kExitPrinterError : kExitBadSettings;
        }
        options.data = reprint->dataPath;
        options.format = reprint->formatChoice;
        // Without --records, the records the run went through.
        if (options.from == 1 && options.to == 0) {
            options.from = reprint->firstRecord;
            options.to = reprint->lastRecord;
        }
    }
    if (const auto problem = cli::settingsRefusal(options, programFolder)) {
        cli::say(*problem);
        return kExitBadSettings;
    }
    app::RunLocks locks(QStringLiteral("pelmar-print"),
                        std::chrono::seconds(options.waitLockSeconds));
    if (!options.dryRun) {
        if (const auto refused = holdProgramFolder(locks, programFolder))
            return *refused;
    }
    cli::PrintRequest request{options, programFolder, locks};
    request.reprint = reprint ? &*reprint : nullptr;
    return cli::printRun(request).status;
}

} // namespace

int main(int argc, char** argv) {
    common::keepLargeBuffersForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // From the start: before the output opens a signal ends the program at once.
    cli::installCancelSignals();
    QGuiApplication application(argc, argv);
    auto parsed = options::readPrintOptions(QCoreApplication::arguments().mid(1));
    if (const auto* problem = std::get_if<options::OptionError>(&parsed)) {
        cli::say(problem->message);
        cli::say(QStringLiteral("請參考 pelmar-print --help"));
        return kExitBadSettings;
    }
    const options::PrintOptions& chosen = std::get<options::PrintOptions>(parsed);
    if (chosen.help) {
        std::fputs(options::printUsage().toUtf8().constData(), stdout);
        return kExitPrinted;
    }
    if (chosen.version) {
        std::puts(app::versionLine(QStringLiteral("pelmar-print")).toUtf8().constData());
        return kExitPrinted;
    }
    try {
        return run(chosen);
    } catch (...) {
        cli::say(QStringLiteral("發生非預期錯誤: ") + common::caughtError().description);
        return kExitPrinterError;
    }
}
