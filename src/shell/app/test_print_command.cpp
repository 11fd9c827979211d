#include "shell/app/test_print_command.h"

#include "common/run_error.h"
#include "format/driver_format_loader.h"
#include "format/format_loader.h"
#include "print_command/test_print.h"
#include "print_driver/test_print_driver.h"
#include "shell/app/delimiter_check.h"
#include "shell/app/print_flow.h"
#include "shell/app/run_locks.h"

namespace pelmar::app {

namespace {

TestPrintResult missing(AppContext& context, TestPrintScreen& screen, const QString& text,
                        TestPrintFocus focus) {
    common::showMessage(context.messageBox, text, kTestPrintCaption,
                        common::MessageIcon::Exclamation);
    screen.setFocus(focus);
    return {TestPrintEnd::MissingInput, 0, false};
}

TestPrintResult loadFailure(const format::FormatLoadResult& load) {
    return {TestPrintEnd::FormatError, load.errorNumber, load.endProgram};
}

// The format's warnings, told before the test label prints.
void tellFormatWarnings(AppContext& context, const format::FormatLoadResult& load) {
    const QStringList lines = format::warningLines(load.problems, context.state.formatFileName);
    if (!lines.isEmpty())
        common::showMessage(context.messageBox, lines.join(u'\r'), kTestPrintCaption,
                            common::MessageIcon::Exclamation);
}

TestPrintResult printCommandMode(AppContext& context, const QString& quantity) {
    const format::FormatLoadResult load = format::LoadFormat(context.state, context.messageBox);
    if (load.failed)
        return loadFailure(load);
    tellFormatWarnings(context, load);
    holdRunLocks(context, commandPrinterAddress(context));
    print_command::RunContext run = commandRunContext(context);
    print_command::TestPrint(run, quantity);
    context.window.setStatusMessage(testPrintedStatus(quantity, context.state.printerName));
    return {TestPrintEnd::Printed, 0, false};
}

TestPrintResult printDriverMode(AppContext& context, const QString& quantity) {
    format::FormatLoadResult load;
    PrintDestination destination;
    std::unique_ptr<print_driver::PrinterPage> page =
        prepareDriverPage(context, load, &destination);
    if (!page)
        return loadFailure(load);
    tellFormatWarnings(context, load);
    print_driver::DriverRunContext run = driverRunContext(context, *page);
    const print_command::RunResult printed = print_driver::TestPrint_Driver(run, quantity);
    if (printed.outcome == print_command::RunOutcome::Failed)
        return {TestPrintEnd::Error, printed.errorNumber, false};
    const QString printer = destination.queue.isEmpty() ? destination.pdfFile : destination.queue;
    context.window.setStatusMessage(testPrintedStatus(quantity, printer));
    return {TestPrintEnd::Printed, 0, false};
}

} // namespace

QString testPrintedStatus(const QString& quantityText, const QString& printer) {
    return QStringLiteral("已試印 %1 張: %2").arg(quantityText.toInt()).arg(printer);
}

TestPrintResult cmdTestPrintOk_Click(AppContext& context, TestPrintScreen& screen) {
    state::WorkingState& state = context.state;
    if (state.labelCount == 0)
        return {};
    if (state.formatFileName.isEmpty()) {
        if (state.labelCount != 1)
            return missing(context, screen, kNoTestFormatMessage, TestPrintFocus::ListLabel);
        state.formatFileName = screen.firstListedFormat();
    }
    if (state.textFileName.isEmpty())
        return missing(context, screen, kNoTestDataMessage, TestPrintFocus::CmdSelDataSource);
    const QString quantity = screen.quantityText();
    if (quantity.isEmpty())
        return missing(context, screen, kNoTestQuantityMessage, TestPrintFocus::TxtTestPrintQty);
    if (!delimiterCanCut(context, kTestPrintCaption))
        return {TestPrintEnd::Error, common::InvalidArgument, false};
    // The window stays after a test print: its locks go with it.
    const LocksReleasedAtEnd released{context.runLocks};
    try {
        return state.printMode != 0 ? printDriverMode(context, quantity)
                                    : printCommandMode(context, quantity);
    } catch (...) {
        const common::CaughtError error = common::caughtError();
        if (error.number == common::DialogCancelled)
            return {TestPrintEnd::DialogCancelled, error.number, false};
        common::showMessage(context.messageBox, error.description, kTestPrintErrorCaption);
        return {TestPrintEnd::Error, error.number, false};
    }
}

} // namespace pelmar::app
