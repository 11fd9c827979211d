#include "shell/app/exit_status.h"

namespace pelmar::app {

namespace {

int afterPrinting(const FlowResult& result) {
    if (!result.tally.leftOut.empty())
        return kExitRecordsLeftOut;
    if (result.settingsNotSaved)
        return kExitSettingsNotSaved;
    if (!result.tally.warnings.isEmpty())
        return kExitWarnings;
    return kExitPrinted;
}

} // namespace

int exitStatus(const FlowResult& result) {
    switch (result.end) {
    case FlowEnd::Printed:
        return afterPrinting(result);
    case FlowEnd::NothingToPrint:
    case FlowEnd::Interactive:
    case FlowEnd::PrintPanel:
    case FlowEnd::NoFormatSelected:
        return kExitPrinted;
    case FlowEnd::Cancelled:
    case FlowEnd::DialogCancelled:
        return kExitCancelled;
    case FlowEnd::DataError:
        return kExitDataError;
    case FlowEnd::FormatError:
        return kExitFormatError;
    case FlowEnd::NoPrinter:
    case FlowEnd::PrintError:
        return kExitPrinterError;
    default:
        return kExitBadSettings;
    }
}

} // namespace pelmar::app
