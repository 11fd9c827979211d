#include "shell/app/print_flow.h"

#include "common/file_names.h"
#include "common/run_error.h"
#include "format/driver_format_loader.h"
#include "format/format_loader.h"
#include "print_command/print_labels.h"
#include "print_command/printer_ports.h"
#include "print_driver/cups_queue_sink.h"
#include "print_driver/pdf_file_sink.h"
#include "print_driver/print_labels_driver.h"
#include "print_driver/qt_printer_page.h"
#include "print_queue/queue_failure.h"
#include "shell/app/journal_run.h"
#include "shell/app/run_locks.h"
#include "shell/app/run_report.h"
#include "state/settings.h"

#include <QFile>

namespace pelmar::app {

namespace {

// The end of a run of either print mode, as the start-up flow and the print command tell it.
FlowResult fromRun(const print_command::RunResult& run) {
    FlowResult result;
    result.tally = run.tally;
    result.errorNumber = run.errorNumber;
    switch (run.outcome) {
    case print_command::RunOutcome::Completed:
        result.end = FlowEnd::Printed;
        break;
    case print_command::RunOutcome::Cancelled:
        result.end = FlowEnd::Cancelled;
        break;
    case print_command::RunOutcome::Failed:
        result.end = run.dataFailure ? FlowEnd::DataError : FlowEnd::PrintError;
        break;
    }
    return result;
}

// A failed load never starts the run; the loader has shown why.
FlowResult formatFailure(const format::FormatLoadResult& load) {
    FlowResult result;
    result.end = FlowEnd::FormatError;
    result.errorNumber = load.errorNumber;
    result.programEnds = load.endProgram;
    return result;
}

// The format's warnings join the run's, which its report tells and the exit status counts.
FlowResult withFormatWarnings(FlowResult result, const format::FormatLoadResult& load,
                              const state::WorkingState& state) {
    result.tally.warnings =
        format::warningLines(load.problems, state.formatFileName) + result.tally.warnings;
    return result;
}

// The format file as this run reads it: a reprint's copy, else the file's bytes.
QByteArray formatBytes(const AppContext& context) {
    if (context.formatCopy)
        return *context.formatCopy;
    QFile file(common::resolveExistingFile(
        common::joinPath(context.state.programFolder, context.state.formatFileName)));
    if (!file.open(QIODevice::ReadOnly))
        throw common::RunError(
            common::PathFileAccessError,
            QStringLiteral("無法讀取格式檔 %1: %2").arg(file.fileName(), file.errorString()));
    return file.readAll();
}

// Runs print with the journal told of every record when the context keeps one. A journal that
// cannot be opened fails the run before its first record (shown under caption); one found
// unfinished for the same data file goes on from where it stopped.
FlowResult journaledRun(AppContext& context, const JournalTarget& target, const QString& caption,
                        const std::function<print_command::RunResult(
                            int firstRecord, print_command::RecordJournal* journal)>& print) {
    if (!context.journaled)
        return fromRun(print(context.firstRecord, nullptr));
    std::unique_ptr<JournalRun> journal;
    try {
        journal = std::make_unique<JournalRun>(context, formatBytes(context), target);
    } catch (...) {
        FlowResult failed;
        failed.end = FlowEnd::PrintError;
        const common::CaughtError error = common::caughtError();
        failed.errorNumber = error.number;
        common::showMessage(context.messageBox, error.description, caption);
        return failed;
    }
    const int last = context.lastRecord > 0 ? context.lastRecord : context.state.recordCount;
    FlowResult result;
    result.end = FlowEnd::Printed;
    // An earlier attempt reached the last record: nothing is left to send.
    if (!journal->resumed() || journal->firstRecord() <= last)
        result = fromRun(print(journal->firstRecord(), journal.get()));
    if (result.end == FlowEnd::Cancelled && context.cancelGoesOn)
        return result;
    try {
        journal->finish(result);
    } catch (...) {
        // The labels are out; the run's end alone is missing from the journal.
        result.tally.warnings << common::caughtError().description;
    }
    return result;
}

FlowResult printCommandMode(AppContext& context) {
    const format::FormatLoadResult load =
        context.formatCopy
            ? format::LoadFormatText(context.state, *context.formatCopy, context.messageBox)
            : format::LoadFormat(context.state, context.messageBox);
    if (load.failed)
        return formatFailure(load);
    const QString address = commandPrinterAddress(context);
    holdRunLocks(context, address);
    print_command::RunContext run = commandRunContext(context);
    const FlowResult result =
        journaledRun(context, {context.state.printerName, address, QStringLiteral("command")},
                     QStringLiteral("PrintLabels -> 發生錯誤"),
                     [&run](int firstRecord, print_command::RecordJournal* journal) {
                         run.firstRecord = firstRecord;
                         run.journal = journal;
                         return print_command::PrintLabels(run);
                     });
    return withFormatWarnings(result, load, context.state);
}

FlowResult printDriverMode(AppContext& context) {
    format::FormatLoadResult load;
    PrintDestination destination;
    std::unique_ptr<print_driver::PrinterPage> page =
        prepareDriverPage(context, load, &destination);
    if (!page)
        return formatFailure(load);
    print_driver::DriverRunContext run = driverRunContext(context, *page);
    const JournalTarget target =
        destination.pdfFile.isEmpty()
            ? JournalTarget{destination.queue, destination.queue, QStringLiteral("driver")}
            : JournalTarget{destination.pdfFile, QStringLiteral("pdf:") + destination.pdfFile,
                            QStringLiteral("driver")};
    const FlowResult result =
        journaledRun(context, target, QStringLiteral("PrintLabels_Driver -> 發生錯誤"),
                     [&run](int firstRecord, print_command::RecordJournal* journal) {
                         run.firstRecord = firstRecord;
                         run.journal = journal;
                         return print_driver::PrintLabels_Driver(run);
                     });
    return withFormatWarnings(result, load, context.state);
}

} // namespace

void holdRunLocks(AppContext& context, const QString& printerAddress) {
    if (context.runLocks == nullptr)
        return;
    const common::WaitServices wait{context.clock, context.events,
                                    [&state = context.state] { return state.cancelRequested; }};
    context.runLocks->holdProgramFolder(context.state.programFolder, wait);
    if (!printerAddress.isEmpty())
        context.runLocks->holdPrinter(printerLockKey(context.state, printerAddress), printerAddress,
                                      wait);
}

QString commandPrinterAddress(const AppContext& context) {
    return print_command::portAddress(context.state, context.state.printerName);
}

print_command::RunContext commandRunContext(AppContext& context) {
    return {context.state,      context.messageBox,     context.window,     context.clock,
            context.events,     context.libraryFactory, context.today,      context.firstRecord,
            context.lastRecord, context.faultWait,      context.printSystem};
}

print_driver::DriverRunContext driverRunContext(AppContext& context,
                                                print_driver::PrinterPage& page) {
    return {context.state, context.messageBox,  context.window,
            context.clock, context.events,      page,
            context.today, context.firstRecord, context.lastRecord};
}

std::unique_ptr<print_driver::PrinterPage>
prepareDriverPage(AppContext& context, format::FormatLoadResult& load, PrintDestination* chosen) {
    const PrintDestination destination = context.printerDialog.choosePrinter(kPrinterDialogTitle);
    if (chosen != nullptr)
        *chosen = destination;
    load = context.formatCopy ? format::LoadFormatText_Driver(context.state, *context.formatCopy,
                                                              context.messageBox)
                              : format::LoadFormat_Driver(context.state, context.messageBox);
    if (load.failed)
        return nullptr;
    // A PDF file is no printer; the program folder's lock keeps it to one run.
    holdRunLocks(context, destination.pdfFile.isEmpty() ? destination.queue : QString());
    return context.pageFactory
               ? context.pageFactory(destination)
               : makeDestinationPage(destination,
                                     {context.clock, context.events,
                                      [&state = context.state] { return state.cancelRequested; }},
                                     context.printSystem);
}

std::unique_ptr<print_driver::PrinterPage> makeDestinationPage(const PrintDestination& destination,
                                                               common::WaitServices wait,
                                                               print_queue::PrintSystem* system) {
    if (!destination.pdfFile.isEmpty())
        return std::make_unique<print_driver::QtPrinterPage>(print_driver::makePdfFileSink(
            destination.pdfFile, destination.pdfDotsPerInch > 0
                                     ? destination.pdfDotsPerInch
                                     : print_driver::kDefaultPrinterDotsPerInch));
    if (system == nullptr)
        throw print_queue::queueFailure(destination.queue, QStringLiteral("找不到這個印表機佇列"),
                                        QStringLiteral("沒有列印系統"));
    return std::make_unique<print_driver::QtPrinterPage>(
        print_driver::makeCupsQueueSink(*system, destination.queue, std::move(wait)));
}

FlowResult printChosenFormat(AppContext& context) {
    if (context.formatCopy && !context.formatCopyName.isEmpty())
        context.state.formatFileName = context.formatCopyName;
    FlowResult result =
        context.state.printMode != 0 ? printDriverMode(context) : printCommandMode(context);
    if (result.end != FlowEnd::FormatError)
        reportRun(context, result);
    return result;
}

void saveRunSettings(AppContext& context) {
    if (context.saveRunSettings)
        context.saveRunSettings(context.state);
    else
        state::SaveRunSettings(context.state);
}

} // namespace pelmar::app
