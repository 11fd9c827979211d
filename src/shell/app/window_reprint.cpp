#include "shell/app/window_reprint.h"

#include "common/run_error.h"
#include "data/data_file_reader.h"
#include "shell/app/print_flow.h"
#include "shell/app/reprint.h"
#include "shell/app/run_locks.h"

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
    const ReprintJob job = prepareReprint(context.state.programFolder, request.run);
    state::WorkingState state = context.state;
    state.textFileName = job.dataPath;
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
    applyReprint(reprint, job);
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
