#include "shell/cli/print_run.h"

#include "common/file_names.h"
#include "common/numbers.h"
#include "common/run_error.h"
#include "print_command/printer_ports.h"
#include "print_queue/cups_print_system.h"
#include "shell/app/exit_status.h"
#include "shell/app/installed_printers.h"
#include "shell/app/output_path_check.h"
#include "shell/app/print_commands.h"
#include "shell/app/startup.h"
#include "shell/cli/headless.h"
#include "shell/cli/preview_run.h"
#include "state/settings.h"

#include <QFileInfo>

namespace pelmar::cli {

using app::kExitPrinterError;

namespace {

// The entry of LabelNames that name stands for (letter case ignored), or nothing.
std::optional<QString> storedFormatName(const state::WorkingState& state, const QString& name) {
    for (int i = 1; i <= state.labelCount; ++i) {
        if (state.labelNames.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return state.labelNames.at(i);
    }
    return std::nullopt;
}

QString formatList(const state::WorkingState& state) {
    QStringList names;
    for (int i = 1; i <= state.labelCount; ++i)
        names << state.labelNames.at(i);
    return names.join(QStringLiteral(", "));
}

// The price adjustment the labels carry, when the run printed or would print: a saved ADPrice
// applies to every later run, so a run that uses it says so.
void sayPriceAdjustment(const state::WorkingState& state, const app::FlowResult& result) {
    if (state.editPrice == 0 || (result.end != app::FlowEnd::Printed && result.tally.labels == 0))
        return;
    const QString sign = state.adPrice >= 0 ? QStringLiteral("+") : QString();
    say(QStringLiteral("售價調整 %1%2 (第 %3 欄)")
            .arg(sign, common::decimalText(state.adPrice))
            .arg(state.editPriceField));
}

// Labels and records in the words of the summary line: "39 label(s) from 24 record(s)".
QString counted(const common::RunTally& tally) {
    return QStringLiteral("%1 label(s) from %2 record(s)").arg(tally.labels).arg(tally.records);
}

// What the summary adds about a run that printed: records left out, warnings, settings.
QString printedDetails(const app::FlowResult& result) {
    QString details;
    if (!result.tally.leftOut.empty())
        details += QStringLiteral("; %1 record(s) left out").arg(result.tally.leftOut.size());
    if (!result.tally.warnings.isEmpty())
        details += QStringLiteral("; %1 warning(s) of the format or the printer output")
                       .arg(result.tally.warnings.size());
    if (!result.tally.inDoubt.empty()) {
        QStringList numbers;
        for (const int record : result.tally.inDoubt)
            numbers << QString::number(record);
        details += QStringLiteral("; record(s) in doubt, not sent again: %1")
                       .arg(numbers.join(QStringLiteral(", ")));
    }
    if (result.settingsNotSaved)
        details += QStringLiteral("; the settings could not be saved: do not print again");
    return details;
}

void summarize(const app::FlowResult& result, int status) {
    using app::FlowEnd;
    const QString tally = counted(result.tally);
    const QString details = printedDetails(result);
    switch (result.end) {
    case FlowEnd::Printed:
        say((result.tally.unconfirmed
                 ? QStringLiteral("%1 sent; the printer cannot confirm they printed")
                 : QStringLiteral("%1 printed"))
                .arg(tally) +
            details);
        break;
    case FlowEnd::NothingToPrint:
        say(QStringLiteral("the data file has no lines; nothing to print"));
        break;
    case FlowEnd::Cancelled:
        say(QStringLiteral("cancelled; %1 printed before").arg(tally) + details);
        break;
    case FlowEnd::PrintError:
        say(QStringLiteral("printing failed; %1 reached the printer before").arg(tally) + details);
        break;
    case FlowEnd::DataError:
        if (result.tally.records > 0 || result.tally.labels > 0) {
            say(QStringLiteral("a record's data stopped the run; %1 printed before").arg(tally) +
                details);
            break;
        }
        say(QStringLiteral("nothing printed (exit status %1)").arg(status));
        break;
    case FlowEnd::FieldsNotSet:
    case FlowEnd::NoFormat:
    case FlowEnd::NoDataFile:
        say(QStringLiteral("nothing printed: the settings are incomplete"));
        break;
    default:
        say(QStringLiteral("nothing printed (exit status %1)").arg(status));
        break;
    }
}

} // namespace

std::optional<QString> settingsRefusal(const options::PrintOptions& options,
                                       const QString& programFolder) {
    state::WorkingState settings;
    settings.programFolder = programFolder;
    try {
        state::LoadSettings(settings);
    } catch (const common::RunError&) {
        // The flow reads the settings again and reports the failure.
        return std::nullopt;
    }
    const bool driverMode = settings.printMode != 0;
    if (!driverMode && !options.output.isEmpty())
        return QStringLiteral("--output 只用於 Driver 模式; 這個設定檔以 \"Send Command\" 模式"
                              "列印 (要寫入檔案請用 --printer file:路徑)");
    if (!options.output.isEmpty()) {
        // The data file as the run will find it.
        const QString dataFile = common::dataFilePath(
            options.data.isEmpty() ? settings.textFileName : options.data, programFolder);
        if (const auto refused = app::refusedOutputPath(
                QFileInfo(options.output).absoluteFilePath(), settings, dataFile))
            return QStringLiteral("--output: ") + *refused;
    }
    if (!driverMode && !options.preview.isEmpty() && !options.printer.isEmpty())
        return QStringLiteral("--preview 以虛擬印表機取代印表機: \"Send Command\" 模式不能同時給 "
                              "--printer");
    if (!driverMode && options.resolution > 0)
        return QStringLiteral("--resolution 只用於 Driver 模式; 虛擬印表機以 203 dpi 繪製");
    if (driverMode && !options.dryRun && options.output.isEmpty() && options.printer.isEmpty() &&
        options.preview.isEmpty())
        return QStringLiteral("Driver 模式經由印表機對話框列印: 請給 --output FILE.pdf 或 "
                              "--printer 佇列名稱 (只要圖片: --preview 資料夾)");
    if (options.price && settings.editPrice == 0)
        return QStringLiteral("--price 需要開啟售價調整 (設定檔的 EditPrice=1)");
    if (!options.format.isEmpty() && settings.labelCount > 0 &&
        !storedFormatName(settings, options.format))
        return QStringLiteral("設定檔沒有選擇格式 %1; 選擇的格式: %2")
            .arg(options.format, formatList(settings));
    if (options.format.isEmpty() && settings.labelCount > 1)
        return QStringLiteral("設定檔選擇了數個格式 (%1); 請以 --format 指定一個")
            .arg(formatList(settings));
    return std::nullopt;
}

PrintOutcome printRun(const PrintRequest& request) {
    const options::PrintOptions& options = request.options;
    const QString& programFolder = request.programFolder;
    app::RunLocks& locks = request.locks;
    const QString previewFolder =
        options.preview.isEmpty() ? QString() : QFileInfo(options.preview).absoluteFilePath();
    if (!previewFolder.isEmpty()) {
        if (const auto problem = preparePreviewFolder(previewFolder)) {
            say(*problem);
            return {kExitPrinterError, 0, 0};
        }
    }
    const int picturesBefore = previewPictureCount(previewFolder);

    state::WorkingState state;
    state.programFolder = programFolder;
    HeadlessWindow window;
    window.quiet = options.dryRun || request.quiet;
    StderrMessageBox messages;
    HeadlessClock clock(state);
    print_queue::CupsPrintSystem cups;
    app::PrintSystemDirectory queues(cups);
    PreviewPrinterDirectory virtualPrinter(QStringLiteral("preview:") + previewFolder);
    app::PrinterDirectory& printers =
        previewFolder.isEmpty() ? static_cast<app::PrinterDirectory&>(queues) : virtualPrinter;
    const QString pdfFile =
        options.output.isEmpty() ? QString() : QFileInfo(options.output).absoluteFilePath();
    OptionPrinterDialog dialog(pdfFile, options.printer, clock, options.dryRun);
    dialog.pdfDotsPerInch = options.resolution;
    dialog.preview = !previewFolder.isEmpty();
    DryRunReport report{state, window};

    app::AppContext context(state, window, messages, clock, clock, printers, dialog);
    context.runSource = request.source == QLatin1String("watch") ? journal::RunSource::Watch
                                                                 : journal::RunSource::Command;
    // A watched folder stopped on a file prints it at its next start from where it stopped.
    context.cancelGoesOn = context.runSource == journal::RunSource::Watch;
    // A watched file moves on to done/ or error/ after its run, and the service gives its price
    // adjustment to every run: neither is a setting for the next start.
    if (context.runSource == journal::RunSource::Watch)
        context.saveRunSettings = [](state::WorkingState&) {};
    context.printerOverride = options.printer;
    context.firstRecord = options.from;
    context.lastRecord = options.to;
    context.faultWait = std::chrono::seconds(options.faultWaitSeconds);
    context.dataFileOverride = options.data;
    context.runLocks = options.dryRun ? nullptr : &locks;
    context.printSystem = &cups;
    if (options.dryRun) {
        context.libraryFactory = [&report](const QString&) { return dryRunLibrary(report); };
        context.pageFactory = [&report](const app::PrintDestination&) {
            return dryRunPage(report);
        };
        context.saveRunSettings = [](state::WorkingState& s) {
            say(QStringLiteral("would write TextFileName=%1 and ADPrice=%2 to the settings")
                    .arg(s.textFileName, common::decimalText(s.adPrice)));
        };
    } else {
        context.libraryFactory = [&state, &clock, &cups](const QString& name) {
            const common::WaitServices wait{clock, clock,
                                            [&state] { return state.cancelRequested; }};
            return cancelPolling(print_command::createPrinterLibrary(state, name, wait, &cups),
                                 state);
        };
    }
    if (!previewFolder.isEmpty())
        usePreviewFolder(context, previewFolder, options.resolution);
    context.journaled = !options.dryRun && previewFolder.isEmpty();
    if (request.reprint)
        app::applyReprint(context, *request.reprint);

    if (!options.dryRun)
        markOutputOpening(context);
    app::FlowResult result = app::Form_Load(context);
    if (result.end == app::FlowEnd::PrintPanel) {
        // The operator's choices on the print panel.
        const QString chosen = options.format.isEmpty()
                                   ? state.labelNames.at(1)
                                   : storedFormatName(state, options.format).value_or(QString());
        window.selectedFormat = chosen;
        say(QStringLiteral("format: ") + chosen);
        if (options.price) {
            state.adPrice = *options.price;
            say(QStringLiteral("price adjustment: %1").arg(*options.price));
        }
        result = app::cmdPrint_Click(context);
    }
    const int status = app::exitStatus(result);
    const PrintOutcome outcome{status, result.tally.labels, result.tally.records};
    sayPriceAdjustment(state, result);
    if (options.dryRun && result.end == app::FlowEnd::Printed) {
        const QString where = state.printMode != 0 ? QStringLiteral("driver mode")
                                                   : QStringLiteral("printer ") + state.printerName;
        say(QStringLiteral("dry run: %1 record(s), %2 label(s) would be printed with %3 on "
                           "%4")
                .arg(result.tally.records)
                .arg(result.tally.labels)
                .arg(state.formatFileName, where) +
            printedDetails(result));
        return outcome;
    }
    if (options.dryRun) {
        say(QStringLiteral("dry run: the real run would end here (exit status %1)").arg(status));
        return outcome;
    }
    summarize(result, status);
    if (!previewFolder.isEmpty())
        say(QStringLiteral("preview: %1 picture(s) in %2")
                .arg(previewPictureCount(previewFolder) - picturesBefore)
                .arg(previewFolder));
    return outcome;
}

} // namespace pelmar::cli
