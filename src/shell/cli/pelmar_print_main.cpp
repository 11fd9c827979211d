// pelmar-print: automatic printing without a window, for cron jobs, ERP systems and servers
// without a display. Runs the start-up flow and the print button of the program with the
// operator's choices taken from options (see printUsage).
#include "common/allocator_tuning.h"
#include "common/file_names.h"
#include "common/numbers.h"
#include "common/run_error.h"
#include "print_command/printer_ports.h"
#include "print_queue/cups_print_system.h"
#include "shell/app/exit_status.h"
#include "shell/app/installed_printers.h"
#include "shell/app/output_path_check.h"
#include "shell/app/print_commands.h"
#include "shell/app/program_arguments.h"
#include "shell/app/run_locks.h"
#include "shell/app/startup.h"
#include "shell/cli/headless.h"
#include "shell/cli/preview_run.h"
#include "shell/options/print_options.h"
#include "state/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <optional>

using namespace pelmar;

namespace {

using app::kExitBadSettings;
using app::kExitPrinted;
using app::kExitPrinterError;

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

// Checks the options against the settings before anything is read or printed, so that a choice
// the flow would need and the options do not give is an error at once. A settings file that
// cannot be read is left to the flow, which reports it.
std::optional<QString> checkAgainstSettings(const options::PrintOptions& options,
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

// The price adjustment the labels carry, when the run printed or would print: a saved ADPrice
// applies to every later run, so a run that uses it says so.
void sayPriceAdjustment(const state::WorkingState& state, const app::FlowResult& result) {
    if (state.editPrice == 0 || (result.end != app::FlowEnd::Printed && result.tally.labels == 0))
        return;
    const QString sign = state.adPrice >= 0 ? QStringLiteral("+") : QString();
    cli::say(QStringLiteral("售價調整 %1%2 (第 %3 欄)")
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
        cli::say((result.tally.unconfirmed
                      ? QStringLiteral("%1 sent; the printer cannot confirm they printed")
                      : QStringLiteral("%1 printed"))
                     .arg(tally) +
                 details);
        break;
    case FlowEnd::NothingToPrint:
        cli::say(QStringLiteral("the data file has no lines; nothing to print"));
        break;
    case FlowEnd::Cancelled:
        cli::say(QStringLiteral("cancelled; %1 printed before").arg(tally) + details);
        break;
    case FlowEnd::PrintError:
        cli::say(QStringLiteral("printing failed; %1 reached the printer before").arg(tally) +
                 details);
        break;
    case FlowEnd::DataError:
        if (result.tally.records > 0 || result.tally.labels > 0) {
            cli::say(
                QStringLiteral("a record's data stopped the run; %1 printed before").arg(tally) +
                details);
            break;
        }
        cli::say(QStringLiteral("nothing printed (exit status %1)").arg(status));
        break;
    case FlowEnd::FieldsNotSet:
    case FlowEnd::NoFormat:
    case FlowEnd::NoDataFile:
        cli::say(QStringLiteral("nothing printed: the settings are incomplete"));
        break;
    default:
        cli::say(QStringLiteral("nothing printed (exit status %1)").arg(status));
        break;
    }
}

// Holds the program folder for the whole run (settings read, labels, write-back), waiting as
// --wait-lock allows; the exit status when it cannot, having said why.
std::optional<int> holdProgramFolder(app::RunLocks& locks, const QString& programFolder) {
    state::WorkingState waiting;
    cli::HeadlessClock clock(waiting);
    try {
        locks.holdProgramFolder(programFolder,
                                {clock, clock, [&waiting] { return waiting.cancelRequested; }});
        return std::nullopt;
    } catch (const common::RunError& error) {
        cli::say(error.description());
        return error.number() == common::DialogCancelled ? app::kExitCancelled : kExitPrinterError;
    }
}

int run(const options::PrintOptions& options) {
    const QString programFolder = options.home.isEmpty()
                                      ? common::programFolder()
                                      : QFileInfo(options.home).absoluteFilePath();
    if (!QFileInfo(programFolder).isDir()) {
        cli::say(QStringLiteral("程式資料夾 %1 不存在").arg(programFolder));
        return kExitBadSettings;
    }
    if (const auto problem = checkAgainstSettings(options, programFolder)) {
        cli::say(*problem);
        return kExitBadSettings;
    }
    app::RunLocks locks(QStringLiteral("pelmar-print"),
                        std::chrono::seconds(options.waitLockSeconds));
    if (!options.dryRun) {
        if (const auto refused = holdProgramFolder(locks, programFolder))
            return *refused;
    }

    const QString previewFolder =
        options.preview.isEmpty() ? QString() : QFileInfo(options.preview).absoluteFilePath();
    if (!previewFolder.isEmpty()) {
        if (const auto problem = cli::preparePreviewFolder(previewFolder)) {
            cli::say(*problem);
            return kExitPrinterError;
        }
    }
    const int picturesBefore = cli::previewPictureCount(previewFolder);

    state::WorkingState state;
    state.programFolder = programFolder;
    cli::HeadlessWindow window;
    window.quiet = options.dryRun;
    cli::StderrMessageBox messages;
    cli::HeadlessClock clock(state);
    print_queue::CupsPrintSystem cups;
    app::PrintSystemDirectory queues(cups);
    cli::PreviewPrinterDirectory virtualPrinter(QStringLiteral("preview:") + previewFolder);
    app::PrinterDirectory& printers =
        previewFolder.isEmpty() ? static_cast<app::PrinterDirectory&>(queues) : virtualPrinter;
    const QString pdfFile =
        options.output.isEmpty() ? QString() : QFileInfo(options.output).absoluteFilePath();
    cli::OptionPrinterDialog dialog(pdfFile, options.printer, clock, options.dryRun);
    dialog.pdfDotsPerInch = options.resolution;
    dialog.preview = !previewFolder.isEmpty();
    cli::DryRunReport report{state, window};

    app::AppContext context(state, window, messages, clock, clock, printers, dialog);
    context.printerOverride = options.printer;
    context.firstRecord = options.from;
    context.lastRecord = options.to;
    context.faultWait = std::chrono::seconds(options.faultWaitSeconds);
    context.dataFileOverride = options.data;
    context.runLocks = options.dryRun ? nullptr : &locks;
    context.printSystem = &cups;
    if (options.dryRun) {
        context.libraryFactory = [&report](const QString&) { return cli::dryRunLibrary(report); };
        context.pageFactory = [&report](const app::PrintDestination&) {
            return cli::dryRunPage(report);
        };
        context.saveRunSettings = [](state::WorkingState& s) {
            cli::say(QStringLiteral("would write TextFileName=%1 and ADPrice=%2 to the settings")
                         .arg(s.textFileName, common::decimalText(s.adPrice)));
        };
    } else {
        context.libraryFactory = [&state, &clock, &cups](const QString& name) {
            const common::WaitServices wait{clock, clock,
                                            [&state] { return state.cancelRequested; }};
            return cli::cancelPolling(print_command::createPrinterLibrary(state, name, wait, &cups),
                                      state);
        };
    }
    if (!previewFolder.isEmpty())
        cli::usePreviewFolder(context, previewFolder, options.resolution);

    if (!options.dryRun)
        cli::markOutputOpening(context);
    app::FlowResult result = app::Form_Load(context);
    if (result.end == app::FlowEnd::PrintPanel) {
        // The operator's choices on the print panel.
        const QString chosen = options.format.isEmpty()
                                   ? state.labelNames.at(1)
                                   : storedFormatName(state, options.format).value_or(QString());
        window.selectedFormat = chosen;
        cli::say(QStringLiteral("format: ") + chosen);
        if (options.price) {
            state.adPrice = *options.price;
            cli::say(QStringLiteral("price adjustment: %1").arg(*options.price));
        }
        result = app::cmdPrint_Click(context);
    }
    const int status = app::exitStatus(result);
    sayPriceAdjustment(state, result);
    if (options.dryRun && result.end == app::FlowEnd::Printed) {
        const QString where = state.printMode != 0 ? QStringLiteral("driver mode")
                                                   : QStringLiteral("printer ") + state.printerName;
        cli::say(QStringLiteral("dry run: %1 record(s), %2 label(s) would be printed with %3 on "
                                "%4")
                     .arg(result.tally.records)
                     .arg(result.tally.labels)
                     .arg(state.formatFileName, where) +
                 printedDetails(result));
        return status;
    }
    if (options.dryRun) {
        cli::say(
            QStringLiteral("dry run: the real run would end here (exit status %1)").arg(status));
        return status;
    }
    summarize(result, status);
    if (!previewFolder.isEmpty())
        cli::say(QStringLiteral("preview: %1 picture(s) in %2")
                     .arg(cli::previewPictureCount(previewFolder) - picturesBefore)
                     .arg(previewFolder));
    return status;
}

} // namespace

int main(int argc, char** argv) {
    common::keepLargeBuffersForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // From the start: before the output opens a signal ends the program at once.
    cli::installCancelSignals();
    QGuiApplication application(argc, argv);
    auto parsed = options::readPrintOptions(QCoreApplication::arguments().mid(1));
    if (const auto* problem = std::get_if<options::OptionError>(&parsed)) {
        cli::say(problem->message);
        cli::say(QStringLiteral("請參考 pelmar-print --help"));
        return kExitBadSettings;
    }
    const options::PrintOptions& chosen = std::get<options::PrintOptions>(parsed);
    if (chosen.help) {
        std::fputs(options::printUsage().toUtf8().constData(), stdout);
        return kExitPrinted;
    }
    if (chosen.version) {
        std::puts(app::versionLine(QStringLiteral("pelmar-print")).toUtf8().constData());
        return kExitPrinted;
    }
    try {
        return run(chosen);
    } catch (...) {
        cli::say(QStringLiteral("發生非預期錯誤: ") + common::caughtError().description);
        return kExitPrinterError;
    }
}
