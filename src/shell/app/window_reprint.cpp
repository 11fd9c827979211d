#include "shell/app/window_reprint.h"

#include "common/run_error.h"
#include "data/data_file_reader.h"
#include "shell/app/journal_run.h"
#include "shell/app/print_flow.h"
#include "shell/app/run_locks.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace pelmar::app {

namespace {

// Lets the run locks go however the reprint ends, so the idle window holds none.
class LocksLetGo {
public:
    explicit LocksLetGo(RunLocks* locks) : m_locks(locks) {}
    ~LocksLetGo() {
        if (m_locks != nullptr)
            m_locks->release();
    }
    LocksLetGo(const LocksLetGo&) = delete;
    LocksLetGo& operator=(const LocksLetGo&) = delete;

private:
    RunLocks* m_locks;
};

} // namespace

FlowResult JournalReprinter::reprint(AppContext& context, const ReprintRequest& request) {
    // The journal is read and let go before the run, which keeps its own connection to it.
    std::optional<journal::RunRow> run;
    QByteArray dataBytes;
    QByteArray formatBytes;
    QString journalFile;
    {
        const std::unique_ptr<journal::Journal> journal =
            journal::Journal::open(journalPath(context.state));
        journalFile = journal->path();
        run = journal->run(request.run);
        if (run) {
            dataBytes = journal->dataBytes(request.run);
            formatBytes = journal->formatBytes(request.run);
        }
    }
    if (!run)
        throw common::RunError(
            common::InvalidArgument,
            QStringLiteral("列印記錄簿 %1 沒有第 %2 次列印").arg(journalFile).arg(request.run));
    QTemporaryDir folder;
    // Only the base name is kept, so the copy cannot be written outside its folder.
    const QString name = QFileInfo(run->dataFileName).fileName();
    QFile copy(folder.filePath(name.isEmpty() ? QStringLiteral("data.txt") : name));
    if (!folder.isValid() || !copy.open(QIODevice::WriteOnly) || copy.write(dataBytes) < 0 ||
        !copy.flush())
        throw common::RunError(common::InvalidArgument,
                               QStringLiteral("無法寫入第 %1 次列印的資料檔副本 %2: %3")
                                   .arg(request.run)
                                   .arg(copy.fileName(), folder.isValid() ? copy.errorString()
                                                                          : folder.errorString()));
    copy.close();

    state::WorkingState state = context.state;
    state.textFileName = copy.fileName();
    state.printerName = request.printer;
    state.cancelRequested = false;
    const data::DataReadResult read = data::LoadDataFile(state, context.messageBox);
    if (read.failed) {
        FlowResult failed;
        failed.end = FlowEnd::DataError;
        return failed;
    }

    AppContext reprint(state, context.window, context.messageBox, context.clock, context.events,
                       context.printers, context.printerDialog);
    reprint.libraryFactory = context.libraryFactory;
    reprint.pageFactory = context.pageFactory;
    reprint.printSystem = context.printSystem;
    reprint.today = context.today;
    reprint.faultWait = context.faultWait;
    reprint.runLocks = context.runLocks;
    reprint.firstRecord = request.range.first;
    reprint.lastRecord = request.range.last;
    reprint.journaled = true;
    reprint.runSource = journal::RunSource::Reprint;
    reprint.reprintOf = request.run;
    reprint.formatCopyName = run->formatName;
    reprint.formatCopy = formatBytes;
    const LocksLetGo letGo(context.runLocks);
    m_running = &state;
    FlowResult result;
    try {
        result = printChosenFormat(reprint);
    } catch (const common::RunError& error) {
        m_running = nullptr;
        // Driver mode's printer dialog cancelled: nothing was printed, nothing to say.
        if (error.number() != common::DialogCancelled)
            throw;
        result.end = FlowEnd::DialogCancelled;
    } catch (...) {
        m_running = nullptr;
        throw;
    }
    m_running = nullptr;
    return result;
}

void JournalReprinter::cancel() {
    if (m_running != nullptr)
        m_running->cancelRequested = true;
}

} // namespace pelmar::app
