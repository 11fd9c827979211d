#include "print_driver/test_print_driver.h"

#include "common/run_error.h"
#include "print_command/field_expression.h"
#include "print_driver/label_drawing.h"

namespace pelmar::print_driver {

namespace {

void reportFailure(DriverRunContext& context, const QString& description) {
    common::showMessage(context.messageBox, description,
                        QStringLiteral("TestPrint_Driver -> 發生錯誤"));
    abandonDocument(context.page);
}

} // namespace

print_command::RunResult TestPrint_Driver(DriverRunContext& context, const QString& quantityText) {
    const state::WorkingState& state = context.state;
    print_command::RunResult result;
    if (state.recordCount == 0)
        return result;
    try {
        const int record = state.currentRecord;
        LabelDrawing drawing;
        drawing.devicePrefix = devicePrefix(context.page.deviceName());
        drawing.programFolder = state.programFolder;
        drawing.today = context.today;
        drawing.drawEmpty = false;
        drawing.record = record;
        drawing.formatFileName = state.formatFileName;
        drawing.barcodeRefused = &result.dataFailure;
        drawing.fieldValue = [&state, record](const QString& expression) {
            if (expression.contains(u'+'))
                return print_command::EvaluateFieldExpression(state, expression, record);
            return print_command::ResolveContent(state, expression, record);
        };

        drawPageSize(context.page, state.format.labelSettings);
        const std::int16_t copies = labelCopies(quantityText, state.across);
        context.page.setCopies(copies);
        drawLabelElements(context.page, state.format.driver, drawing);
        context.page.endDocument();
        context.page.finishDocument();
        result.labelsRequested = 1;
        result.tally.labels = copies;
        result.tally.records = 1;
    } catch (...) {
        const common::CaughtError error = common::caughtError();
        reportFailure(context, error.description);
        result.outcome = print_command::RunOutcome::Failed;
        result.errorNumber = error.number;
    }
    return result;
}

} // namespace pelmar::print_driver
