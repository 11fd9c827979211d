#include "print_driver/print_labels_driver.h"

#include "common/numbers.h"
#include "common/run_error.h"
#include "print_command/record_quantity.h"
#include "print_driver/label_drawing.h"

#include <chrono>

namespace pelmar::print_driver {

namespace {

using Outcome = DriverRunResult::Outcome;

QString recordLine(const state::WorkingState& state, int record) {
    QString line;
    for (int field = 1; field <= state.fieldCount; ++field)
        line += state.records.at(record, field) + state.delimiter;
    return line;
}

void pause(DriverRunContext& context) {
    const auto deadline = context.clock.now() + std::chrono::seconds(2);
    do {
        context.events.processEvents();
    } while (context.clock.now() <= deadline);
}

void reportFailure(DriverRunContext& context, const QString& description) {
    common::showMessage(context.messageBox, description,
                        QStringLiteral("PrintLabels_Driver -> 發生錯誤"));
    abandonDocument(context.page);
}

} // namespace

DriverRunResult PrintLabels_Driver(DriverRunContext& context) {
    state::WorkingState& state = context.state;
    DriverRunResult result;
    if (state.recordCount == 0)
        return result;
    try {
        LabelDrawing drawing;
        drawing.devicePrefix = devicePrefix(context.page.deviceName());
        drawing.programFolder = state.programFolder;
        drawing.today = context.today;
        drawing.drawEmpty = true;
        drawing.cancelled = [&state] { return state.cancelRequested; };
        drawing.formatFileName = state.formatFileName;
        drawing.barcodeRefused = &result.dataFailure;

        context.view.setStatusMessage(
            QStringLiteral("[自動列印_Driver]  標籤格式資料傳輸中, 請稍待 .........."));
        const QString total = common::decimalText(state.recordCount);
        for (int record = 1; record <= state.recordCount; ++record) {
            context.view.setPrintItem(common::decimalText(record) + QStringLiteral(" OF ") + total);
            context.view.setPrintData(recordLine(state, record));
            context.view.showGridRow(record);

            // A quantity beyond 16 bits ends the run; one below 0 only leaves its record out.
            const QString& quantity = state.records.at(record, state.fieldCount);
            std::int16_t copies = 0;
            try {
                if (print_command::recordQuantity(state, record) < 0) {
                    result.tally.leftOut.push_back(
                        print_command::negativeQuantity(record, quantity));
                    continue;
                }
                copies = labelCopies(quantity, state.across);
            } catch (const common::RunError& error) {
                result.dataFailure = true;
                throw print_command::quantityError(error, record, quantity);
            }
            drawPageSize(context.page, state.format.labelSettings);
            context.page.setCopies(copies);
            drawing.record = record;
            drawing.fieldValue = [&state, record](const QString& expression) {
                return plainFieldValue(state, expression, record);
            };
            if (!drawLabelElements(context.page, state.format.driver, drawing))
                break;
            context.page.endDocument();
            ++result.labelsPrinted;
            result.tally.labels += copies;
            ++result.tally.records;
            pause(context);
            if (state.cancelRequested)
                break;
        }
        if (state.cancelRequested) {
            context.page.abortDocument();
            result.outcome = Outcome::Cancelled;
        }
        context.page.finishDocument();
    } catch (...) {
        const common::CaughtError error = common::caughtError();
        reportFailure(context, error.description);
        result.outcome = Outcome::Failed;
        result.errorNumber = error.number;
    }
    return result;
}

} // namespace pelmar::print_driver
