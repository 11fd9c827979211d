#include "shell/app/exit_status.h"

namespace pelmar::app {

namespace {

int afterPrinting(const FlowResult& result) {
    if (!result.tally.inDoubt.empty())
        return kExitRecordsInDoubt;
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

QString exitStatusWord(int status) {
    switch (status) {
    case kExitPrinted:
        return QStringLiteral("printed");
    case kExitBadSettings:
        return QStringLiteral("bad settings");
    case kExitDataError:
        return QStringLiteral("data error");
    case kExitFormatError:
        return QStringLiteral("format error");
    case kExitPrinterError:
        return QStringLiteral("printer error");
    case kExitCancelled:
        return QStringLiteral("cancelled");
    case kExitRecordsLeftOut:
        return QStringLiteral("records left out");
    case kExitWarnings:
        return QStringLiteral("warnings");
    case kExitSettingsNotSaved:
        return QStringLiteral("settings not saved");
    case kExitRecordsInDoubt:
        return QStringLiteral("records in doubt");
    default:
        return QStringLiteral("exit status %1").arg(status);
    }
}

} // namespace pelmar::app
