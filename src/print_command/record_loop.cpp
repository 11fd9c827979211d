#include "print_command/record_loop.h"

#include "common/run_error.h"
#include "print_command/label_refused.h"
#include "print_command/record_quantity.h"

#include <algorithm>
#include <optional>

namespace pelmar::print_command {

namespace {

QString recordLine(const state::WorkingState& state, int record, const QString& separator) {
    QString line;
    for (int field = 1; field <= state.fieldCount; ++field)
        line += state.records.at(record, field) + separator;
    return line;
}

void showProgress(const RecordRun& run, int record, const QString& separator) {
    run.view.setPrintItem(QStringLiteral("%1 OF %2").arg(record).arg(run.state.recordCount));
    run.view.setPrintData(recordLine(run.state, record, separator));
    run.view.showGridRow(record);
}

// A left-out record's reason as the journal keeps it: the element at fault, then why.
QString leftOutReason(const common::LeftOutRecord& left) {
    return left.element.isEmpty() ? left.reason : left.element + QStringLiteral(": ") + left.reason;
}

// The sets of a record whose quantity is 0 or more; nothing for one below 0, which is left out.
// A quantity beyond 16 bits is the record's fault and ends the run.
std::optional<LabelQuantity> quantityOf(const RecordRun& run, LabelOutput& output, int record,
                                        RunResult& result) {
    const QString& quantity = run.state.records.at(record, run.state.fieldCount);
    try {
        if (recordQuantity(run.state, record) < 0) {
            result.tally.leftOut.push_back(negativeQuantity(record, quantity));
            if (run.journal)
                run.journal->leftOut(record, leftOutReason(result.tally.leftOut.back()));
            return std::nullopt;
        }
        return output.quantity(record);
    } catch (const common::RunError& error) {
        result.dataFailure = true;
        throw quantityError(error, record, quantity);
    }
}

// Walks the records; true when the run stopped on a cancel.
bool walkRecords(const RecordRun& run, LabelOutput& output, const QString& separator,
                 RunResult& result) {
    const int last = run.lastRecord > 0 ? run.lastRecord : run.state.recordCount;
    for (int record = std::max(1, run.firstRecord); record <= last; ++record) {
        showProgress(run, record, separator);
        const std::optional<LabelQuantity> quantity = quantityOf(run, output, record, result);
        if (!quantity)
            continue;
        if (run.journal)
            run.journal->sending(record, quantity->labels);
        try {
            if (!output.sendLabel(record, quantity->sets)) {
                if (run.journal)
                    run.journal->notSent(record);
                return true;
            }
        } catch (const LabelRefused& refused) {
            result.tally.leftOut.push_back({record, refused.element(), refused.reason()});
            if (run.journal)
                run.journal->leftOut(record, leftOutReason(result.tally.leftOut.back()));
            continue;
        }
        if (run.journal)
            run.journal->sent(record);
        ++result.labelsRequested;
        result.tally.labels += quantity->labels;
        ++result.tally.records;
        const bool stop = output.waitAfterRecord(record, quantity->sets);
        if (run.journal && output.confirmedPrinted())
            run.journal->printed(record);
        if (stop || run.state.cancelRequested)
            return true;
    }
    return false;
}

} // namespace

RunResult printRecords(const RecordRun& run, LabelOutput& output) {
    RunResult result;
    if (run.state.recordCount <= 0)
        return result;
    const OutputWording wording = output.wording();
    try {
        output.prepare();
        run.view.setStatusMessage(wording.sending);
        // The first record is named when both are beyond the data file.
        for (const int asked : {run.firstRecord, run.lastRecord}) {
            if (asked <= run.state.recordCount)
                continue;
            result.dataFailure = true;
            throw common::RunError(common::SubscriptOutOfRange,
                                   QStringLiteral("沒有第 %1 筆資料: 資料檔只有 %2 筆")
                                       .arg(asked)
                                       .arg(run.state.recordCount));
        }
        output.open();
        const bool stopped = walkRecords(run, output, wording.fieldSeparator, result);
        result.outcome = output.finish(stopped) ? RunOutcome::Cancelled : RunOutcome::Completed;
    } catch (...) {
        const common::CaughtError error = common::caughtError();
        result.outcome = RunOutcome::Failed;
        result.errorNumber = error.number;
        result.dataFailure = result.dataFailure || output.failedOnData();
        output.abandon(error, [&](const QString& text) {
            common::showMessage(run.messageBox, text, wording.failureCaption);
        });
    }
    result.tally.warnings = output.warnings();
    result.tally.unconfirmed = output.unconfirmed();
    return result;
}

} // namespace pelmar::print_command
