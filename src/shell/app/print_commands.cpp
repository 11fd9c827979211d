#include "shell/app/print_commands.h"

#include "common/run_error.h"
#include "shell/app/delimiter_check.h"
#include "shell/app/print_flow.h"
#include "shell/app/run_locks.h"
#include "shell/app/run_report.h"

namespace pelmar::app {

FlowResult cmdPrint_Click(AppContext& context) {
    state::WorkingState& state = context.state;
    FlowResult result;
    const QString selected = context.window.selectedPrintFormat();
    if (selected.isEmpty()) {
        common::showMessage(context.messageBox, kNoFormatSelectedMessage, kPrintCaption,
                            common::MessageIcon::Exclamation);
        context.window.setFocus(FocusTarget::ListSelectLabel);
        result.end = FlowEnd::NoFormatSelected;
        return result;
    }
    if (!delimiterCanCut(context, kPrintCaption)) {
        result.end = FlowEnd::BadDelimiter;
        result.errorNumber = common::InvalidArgument;
        result.programEnds = !state.commandLineIsExactlyT();
        return result;
    }
    const LocksReleasedAtEnd released{context.runLocks};
    try {
        context.window.setPrintButtonEnabled(false);
        context.window.setCancelButtonEnabled(true);
        state.formatFileName = selected;
        context.window.setWindowState(WindowState::Minimized);
        result = printChosenFormat(context);
        if (result.end == FlowEnd::FormatError && result.programEnds)
            return result;
        saveRunSettingsAfterRun(context, result, kPrintErrorCaption);
        result.programEnds = true;
        return result;
    } catch (...) {
        const common::CaughtError error = common::caughtError();
        if (error.number == common::DialogCancelled) {
            context.window.setWindowState(WindowState::Maximized);
            context.window.activate();
            context.window.setPrintButtonEnabled(true);
            context.window.setCancelButtonEnabled(false);
            FlowResult cancelled;
            cancelled.end = FlowEnd::DialogCancelled;
            cancelled.errorNumber = error.number;
            return cancelled;
        }
        common::showMessage(context.messageBox, error.description, kPrintErrorCaption);
        result.errorNumber = error.number;
    }
    result.end = FlowEnd::PrintError;
    result.programEnds = !state.commandLineIsExactlyT();
    return result;
}

void cmdDelete_Click(state::WorkingState& state) {
    state.cancelRequested = true;
}

} // namespace pelmar::app
