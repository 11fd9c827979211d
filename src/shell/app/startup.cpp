#include "shell/app/startup.h"

#include "common/file_names.h"
#include "common/numbers.h"
#include "common/run_error.h"
#include "data/data_file_reader.h"
#include "data/data_grid.h"
#include "shell/app/command_line.h"
#include "shell/app/delimiter_check.h"
#include "shell/app/print_flow.h"
#include "shell/app/run_report.h"
#include "state/settings.h"

#include <QFileInfo>
#include <optional>

namespace pelmar::app {

namespace {

// Where start-up is when an error reaches its handler; names the end the caller sees.
enum class Stage { Settings, Detection, Data, Print };

QString threeSentences(const QString& first, const QString& second) {
    const QString breaks = QStringLiteral("\r\r");
    return first + breaks + second + breaks + QStringLiteral("設定完儲存離開, 請再重新列印即可.");
}

FlowResult ended(FlowEnd end, bool programEnds) {
    FlowResult result;
    result.end = end;
    result.programEnds = programEnds;
    return result;
}

// A warning of automatic printing; the window then stays in interactive state.
FlowResult warn(AppContext& context, const QString& text, FlowEnd end) {
    common::showMessage(context.messageBox, text, kAutomaticCaption,
                        common::MessageIcon::Exclamation);
    context.window.setStatusMessage(kInteractiveStatus);
    context.state.currentRecord = 0;
    return ended(end, false);
}

// LoadDataFile, FillDataGrid and MSFlexGrid1_Click, after the Delimiter is known to cut. Returns
// the end of start-up when the data cannot be read and the program ends (or, for a Delimiter
// that cannot cut, when interactive is false); nothing when start-up goes on.
std::optional<FlowResult> loadAndShowData(AppContext& context, bool interactive) {
    if (!delimiterCanCut(context, kStartupErrorCaption)) {
        FlowResult result = ended(FlowEnd::BadDelimiter, !interactive);
        result.errorNumber = common::InvalidArgument;
        return result;
    }
    const data::DataReadResult read = data::LoadDataFile(context.state, context.messageBox);
    if (read.failed && read.endProgram) {
        FlowResult result = ended(FlowEnd::DataError, true);
        result.errorNumber = read.errorNumber;
        return result;
    }
    context.window.fillDataGrid(context.state);
    if (context.state.recordCount > 0)
        context.window.setPrintData(
            data::MSFlexGrid1_Click(context.state, context.window.gridCurrentRow()));
    return std::nullopt;
}

FlowResult interactiveMode(AppContext& context) {
    state::WorkingState& state = context.state;
    context.window.setStatusMessage(kInteractiveStatus);
    state.currentRecord = 0;
    if (!state.textFileName.isEmpty() && state.fieldCount > 0) {
        // The window stays so that the operator can mend the Delimiter in the setup.
        if (const std::optional<FlowResult> stop = loadAndShowData(context, true))
            return *stop;
    }
    return ended(FlowEnd::Interactive, false);
}

FlowResult singleFormat(AppContext& context, Stage& stage) {
    state::WorkingState& state = context.state;
    if (state.textFileName.isEmpty())
        return warn(context, warningNoDataFile(), FlowEnd::NoDataFile);
    context.window.setWindowState(WindowState::Minimized);
    context.window.addPrintFormat(state.labelNames.at(1));
    state.formatFileName = state.labelNames.at(1);
    context.window.setSetupMenusVisible(false);

    stage = Stage::Data;
    if (const std::optional<FlowResult> stop = loadAndShowData(context, false))
        return *stop;
    if (state.recordCount == 0)
        return ended(FlowEnd::NothingToPrint, true);

    // The panel keeps the caption it was designed with.
    context.window.showPrintPanel(QStringLiteral("[ 列印 ]"));
    context.window.setPrintButtonEnabled(false);
    context.window.setFocus(FocusTarget::CmdDelete);

    stage = Stage::Print;
    FlowResult result = printChosenFormat(context);
    if (result.end == FlowEnd::FormatError && result.programEnds)
        return result;
    // Driver mode keeps the run settings as they were; "Send Command" writes them back.
    if (state.printMode == 0)
        saveRunSettingsAfterRun(context, result, kStartupErrorCaption);
    result.programEnds = true;
    return result;
}

QString printPanelCaption(const state::WorkingState& state) {
    const QString mode =
        state.printMode == 0 ? QStringLiteral("Send Command") : QStringLiteral("Driver");
    return QStringLiteral("[ 列印_") + mode + QStringLiteral(" ]");
}

FlowResult printPanel(AppContext& context, Stage& stage) {
    state::WorkingState& state = context.state;
    if (state.textFileName.isEmpty())
        return warn(context, warningNoDataFile(), FlowEnd::NoDataFile);
    context.window.setWindowState(WindowState::Maximized);
    context.window.activate();
    for (int i = 1; i <= state.labelCount; ++i)
        context.window.addPrintFormat(state.labelNames.at(i));
    context.window.setSetupMenusVisible(false);

    stage = Stage::Data;
    if (const std::optional<FlowResult> stop = loadAndShowData(context, false))
        return *stop;
    if (state.recordCount == 0)
        return ended(FlowEnd::NothingToPrint, true);

    context.window.setPriceBox(state.editPrice != 0, common::decimalText(state.adPrice));
    context.window.showPrintPanel(printPanelCaption(state));
    context.window.setCancelButtonEnabled(false);
    context.window.setFocus(FocusTarget::ListSelectLabel);
    return ended(FlowEnd::PrintPanel, false);
}

FlowResult automaticPrinting(AppContext& context, Stage& stage) {
    state::WorkingState& state = context.state;
    state.cancelRequested = false;
    context.window.setStatusMessage(kAutomaticStatus);
    // A relative name is found as TextFileName is, and kept whole for the next start.
    if (!context.dataFileOverride.isEmpty())
        state.textFileName =
            QFileInfo(common::dataFilePath(context.dataFileOverride, state.programFolder))
                .absoluteFilePath();
    else if (state.commandLine.contains(QStringLiteral(".TXT")))
        state.textFileName = state.commandLine;

    if (state.labelCount == 0)
        return warn(context, warningNoFormat(), FlowEnd::NoFormat);
    if (state.labelCount == 1 && state.editPrice == 0)
        return singleFormat(context, stage);
    return printPanel(context, stage);
}

FlowEnd endOfStage(Stage stage, int errorNumber) {
    switch (stage) {
    case Stage::Settings:
        return FlowEnd::SettingsError;
    case Stage::Data:
        return FlowEnd::DataError;
    case Stage::Print:
        return errorNumber == common::DialogCancelled ? FlowEnd::DialogCancelled
                                                      : FlowEnd::PrintError;
    case Stage::Detection:
        break;
    }
    return FlowEnd::Error;
}

} // namespace

QString warningNoFormat() {
    return threeSentences(QStringLiteral("來源格式檔尚未設定, 無法列印."),
                          QStringLiteral("請執行設定, 選擇欲列印來源格式檔."));
}

QString warningNoDataFile() {
    return threeSentences(QStringLiteral("來源文字檔尚未設定, 無法列印."),
                          QStringLiteral("請執行設定, 選擇欲列印來源文字檔."));
}

QString noPrinterMessage(const QString& programFolder) {
    return kNoPrinterMessage +
           QStringLiteral("\r\r在 Linux 上, 印表機是說明 (description) 含有 TSC 的 CUPS 佇列 "
                          "(例如 sudo lpadmin -p 佇列名稱 -D 'TSC TTP-244'), 或設定檔 %1 "
                          "[Ports] 區段的一行 (例如 TSC Label=socket://192.168.1.50:9100 或 "
                          "TSC USB=/dev/usb/lp0).")
               .arg(state::settingsFilePath(programFolder));
}

QString missingSettingsMessage(const QString& programFolder) {
    return QStringLiteral("找不到設定檔 %1, 無法列印.\r\r請把 Pelmar.INI 放在程式資料夾 %2, "
                          "或以環境變數 PELMAR_HOME (pelmar-print: --home) 指定放著 Pelmar.INI "
                          "的資料夾.")
        .arg(state::settingsFilePath(programFolder), programFolder);
}

QStringList tscPrinters(const state::WorkingState& state, PrinterDirectory& directory) {
    QStringList names;
    for (const InstalledPrinter& printer : installedPrinters(state, directory)) {
        if (printer.deviceName.contains(QStringLiteral("TSC"), Qt::CaseSensitive))
            names << printer.deviceName;
    }
    return names;
}

FlowResult Form_Load(AppContext& context) {
    state::WorkingState& state = context.state;
    Stage stage = Stage::Settings;
    try {
        state.commandLine = normalizeCommandLine(context.arguments);
        state::LoadSettings(state);
        if (!context.printerOverride.isEmpty())
            state.printerName = context.printerOverride;
        context.window.setPrintItemToolTip(state.printerName);
        context.window.pointFileList(state.programFolder, QStringLiteral("*.FMT"));
        context.window.showNow();

        // Without its settings file the program has nothing to print; "/T" may make one in the
        // setup screen.
        const bool settingsMissing =
            !QFileInfo::exists(state::settingsFilePath(state.programFolder));
        if (settingsMissing && !state.commandLineHasT()) {
            common::showMessage(context.messageBox, missingSettingsMessage(state.programFolder),
                                kStartupErrorCaption);
            return ended(FlowEnd::SettingsError, false);
        }

        stage = Stage::Detection;
        const QStringList printers = tscPrinters(state, context.printers);
        context.window.setPrinterList(printers);
        if (printers.isEmpty()) {
            common::showMessage(context.messageBox,
                                settingsMissing ? missingSettingsMessage(state.programFolder)
                                                : noPrinterMessage(state.programFolder),
                                kStartupErrorCaption);
            return ended(settingsMissing ? FlowEnd::SettingsError : FlowEnd::NoPrinter, true);
        }
        if (state.printerName.isEmpty())
            state.printerName = printers.first();
        context.window.setPrinterText(state.printerName);

        if (state.commandLineHasT())
            return interactiveMode(context);
        if (state.fieldCount == 0) {
            common::showMessage(context.messageBox, kFieldsNotSetMessage, kAutomaticCaption);
            return ended(FlowEnd::FieldsNotSet, false);
        }
        return automaticPrinting(context, stage);
    } catch (...) {
        const common::CaughtError error = common::caughtError();
        common::showMessage(context.messageBox, error.description, kStartupErrorCaption);
        FlowResult result = ended(endOfStage(stage, error.number), state.commandLineHasT());
        result.errorNumber = error.number;
        return result;
    }
}

} // namespace pelmar::app
