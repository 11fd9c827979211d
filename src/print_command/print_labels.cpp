#include "print_command/print_labels.h"
#include "common/units.h"

#include "common/numbers.h"
#include "common/run_error.h"
#include "print_command/label_composer.h"
#include "print_command/label_refused.h"
#include "print_command/record_quantity.h"
#include "print_command/status_pacing.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace pelmar::print_command {

namespace {

const QString kSendingMessage = QStringLiteral("[自動列印]  標籤格式資料傳輸中, 請稍待 ..........");
const QString kFailureCaption = QStringLiteral("PrintLabels -> 發生錯誤");

// A printer that fails mid-run has printed some labels: the operator must know where to resume.
QString withLastRecordSent(const common::CaughtError& error, int lastRecordSent) {
    if (error.number != common::PrinterError || lastRecordSent <= 0)
        return error.description;
    return error.description +
           QStringLiteral("\n最後送達印表機的資料: 第 %1 筆").arg(lastRecordSent);
}

QString recordData(const state::WorkingState& state, int record) {
    QString data;
    for (int field = 1; field <= state.fieldCount; ++field)
        data += state.records.at(record, field) + u'\\';
    return data;
}

// The wait after a record's print request: until the printer has printed it where the printer
// answers status and pacing by status is on, else the estimated time on a physical printer.
// True when the operator cancelled meanwhile.
bool waitAfterRecord(RunContext& context, PrinterLibrary& library, int record, int sets) {
    const double seconds = waitSeconds(context.state, sets);
    if (context.state.statusPacing && library.answersStatus())
        return waitForPrinter(context, library, record, kFailureCaption) == PaceEnd::Cancelled ||
               context.state.cancelRequested;
    if (library.isPhysical())
        waitUnlessCancelled(context,
                            std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double>(seconds)));
    return context.state.cancelRequested;
}

void closeQuietly(PrinterLibrary* library) {
    if (!library)
        return;
    try {
        library->closeport();
    } catch (const std::exception&) {
        // The run's own failure is the one reported.
    }
}

} // namespace

int labelSets(const state::WorkingState& state, int record) {
    int quantity = recordQuantity(state, record);
    if (quantity == 0)
        quantity = 1;
    if (state.across <= 1)
        return quantity;
    // Formed in 32 bits: quantity + Across - 1 may pass 32,767. Whole part, rounded down.
    const std::int32_t sum = quantity + state.across - 1;
    return sum >= 0 ? sum / state.across : -((-sum + state.across - 1) / state.across);
}

double waitSeconds(const state::WorkingState& state, int sets) {
    const std::int16_t height = common::leadingInt16(state.format.labelSettings.height);
    const std::int16_t gap = common::leadingInt16(state.format.labelSettings.gap);
    const std::int16_t speed = common::leadingInt16(state.format.labelSettings.speed);
    if (speed == 0)
        throw common::RunError(common::DivisionByZero);
    // Formed in 64 bits so that long labels in large quantities still get their whole wait.
    const std::int64_t feed = (std::int64_t(height) + gap) * sets;
    float seconds =
        static_cast<float>(static_cast<double>(feed) / (speed * common::kMillimetresPerInch));
    if (seconds < 1.0f)
        seconds = 1.0f;
    return static_cast<double>(seconds) + 3.0;
}

RunResult PrintLabels(RunContext& context) {
    state::WorkingState& state = context.state;
    RunResult result;
    if (state.recordCount <= 0)
        return result;
    context.view.setStatusMessage(kSendingMessage);

    std::unique_ptr<PrinterLibrary> library;
    int lastRecordSent = 0;
    try {
        if (context.firstRecord > state.recordCount) {
            result.dataFailure = true;
            throw common::RunError(common::SubscriptOutOfRange,
                                   QStringLiteral("沒有第 %1 筆資料: 資料檔只有 %2 筆")
                                       .arg(context.firstRecord)
                                       .arg(state.recordCount));
        }
        library = makeLibrary(context);
        library->openport(state.printerName);
        DownloadGraphics(state, *library);
        for (int record = std::max(1, context.firstRecord); record <= state.recordCount; ++record) {
            context.view.setPrintItem(
                QStringLiteral("%1 OF %2").arg(record).arg(state.recordCount));
            context.view.setPrintData(recordData(state, record));
            context.view.showGridRow(record);
            // A quantity beyond 16 bits ends the run; one below 0 only leaves its record out.
            const QString& quantity = state.records.at(record, state.fieldCount);
            int sets = 0;
            try {
                if (recordQuantity(state, record) < 0) {
                    result.tally.leftOut.push_back(negativeQuantity(record, quantity));
                    continue;
                }
                sets = labelSets(state, record);
            } catch (const common::RunError& error) {
                result.dataFailure = true;
                throw quantityError(error, record, quantity);
            }
            try {
                if (ComposeLabel(state, *library, record, true, context.today)) {
                    result.outcome = RunOutcome::Cancelled;
                    break;
                }
            } catch (const LabelRefused& refused) {
                result.tally.leftOut.push_back({record, refused.element(), refused.reason()});
                continue;
            }
            library->printlabel(common::decimalText(sets), QStringLiteral("1"));
            ++result.labelsRequested;
            result.tally.labels += static_cast<long long>(sets) * std::max<int>(1, state.across);
            ++result.tally.records;
            lastRecordSent = record;
            if (state.cancelRequested) {
                result.outcome = RunOutcome::Cancelled;
                break;
            }
            if (waitAfterRecord(context, *library, record, sets)) {
                result.outcome = RunOutcome::Cancelled;
                break;
            }
        }
        library->closeport();
    } catch (...) {
        const common::CaughtError error = common::caughtError();
        closeQuietly(library.get());
        result.outcome = RunOutcome::Failed;
        result.errorNumber = error.number;
        common::showMessage(context.messageBox, withLastRecordSent(error, lastRecordSent),
                            kFailureCaption);
    }
    // The port is closed by now, so the virtual printer has told all it could not draw.
    if (library)
        result.tally.warnings = library->warnings();
    return result;
}

} // namespace pelmar::print_command
