#include "shell/app/print_commands.h"

#include "common/run_error.h"
#include "shell/app/delimiter_check.h"
#include "shell/app/print_flow.h"
#include "shell/app/run_report.h"

namespace pelmar::app {

namespace {

void show(AppContext& context, const QString& text, const QString& caption,
          common::MessageIcon icon) {
    common::Message message;
    message.text = text;
    message.caption = caption;
    message.icon = icon;
    context.messageBox.show(message);
}

} // namespace

FlowResult cmdPrint_Click(AppContext& context) {
    state::WorkingState& state = context.state;
    FlowResult result;
    const QString selected = context.window.selectedPrintFormat();
    if (selected.isEmpty()) {
        show(context, kNoFormatSelectedMessage, kPrintCaption, common::MessageIcon::Exclamation);
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
    } catch (const common::RunError& error) {
        if (error.number() == common::DialogCancelled) {
            context.window.setWindowState(WindowState::Maximized);
            context.window.activate();
            context.window.setPrintButtonEnabled(true);
            context.window.setCancelButtonEnabled(false);
            FlowResult cancelled;
            cancelled.end = FlowEnd::DialogCancelled;
            cancelled.errorNumber = error.number();
            return cancelled;
        }
        show(context, error.description(), kPrintErrorCaption, common::MessageIcon::Critical);
        result.errorNumber = error.number();
    } catch (const std::exception& error) {
        show(context, QString::fromLocal8Bit(error.what()), kPrintErrorCaption,
             common::MessageIcon::Critical);
        result.errorNumber = -1;
    }
    result.end = FlowEnd::PrintError;
    result.programEnds = !state.commandLineIsExactlyT();
    return result;
}

void cmdDelete_Click(state::WorkingState& state) {
    state.cancelRequested = true;
}

} // namespace pelmar::app
