#include "shell/app/print_flow.h"

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
#include "shell/app/run_locks.h"
#include "shell/app/run_report.h"
#include "state/settings.h"

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

FlowResult printCommandMode(AppContext& context) {
    const format::FormatLoadResult load = format::LoadFormat(context.state, context.messageBox);
    if (load.failed)
        return formatFailure(load);
    holdRunLocks(context, commandPrinterAddress(context));
    print_command::RunContext run = commandRunContext(context);
    return withFormatWarnings(fromRun(print_command::PrintLabels(run)), load, context.state);
}

FlowResult printDriverMode(AppContext& context) {
    format::FormatLoadResult load;
    std::unique_ptr<print_driver::PrinterPage> page = prepareDriverPage(context, load);
    if (!page)
        return formatFailure(load);
    print_driver::DriverRunContext run = driverRunContext(context, *page);
    return withFormatWarnings(fromRun(print_driver::PrintLabels_Driver(run)), load, context.state);
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
    load = format::LoadFormat_Driver(context.state, context.messageBox);
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
