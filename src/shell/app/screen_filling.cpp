#include "shell/app/screen_filling.h"

#include "common/numbers.h"

namespace pelmar::app {

TestPrintScreenFill testPrintScreenFill(const state::WorkingState& state) {
    TestPrintScreenFill fill;
    fill.dataSourceName = state.textFileName;
    for (int i = 1; i <= state.labelCount; ++i)
        fill.formats << state.labelNames.at(i);
    fill.editFormatEnabled = state.labelCount != 0;
    fill.testPrintEnabled = state.labelCount != 0 && state.recordCount != 0;
    fill.priceEnabled = state.editPrice != 0;
    fill.priceText = common::decimalText(state.adPrice);
    return fill;
}

QString fieldEntryOfRow(const state::WorkingState& state, int row) {
    QStringList parts;
    for (int part = 0; part < 5; ++part)
        parts << state.field.at(row, part);
    return parts.join(u',');
}

SetupScreenFill prepareSetupScreen(state::WorkingState& state) {
    SetupScreenFill fill;
    state::SetupScreenValues& values = fill.values;
    values.optPrintMode = state.printMode == 0 ? 0 : 1;
    values.cboPrinter = state.printerName;
    values.txtFileName = state.textFileName;
    values.txtLabelAcross = common::decimalText(state.across);
    values.optFieldCut = state.fieldCutIndex == 0 ? 0 : 1;
    values.txtDelimiter = state.delimiter;
    values.chkEditPrice = state.editPrice != 0 ? 1 : 0;
    values.txtEditPriceField = common::decimalText(state.editPriceField);
    for (int i = 1; i <= state.fieldCount; ++i)
        values.fldList << fieldEntryOfRow(state, i);
    for (int i = 1; i <= state.labelCount; ++i)
        values.fmtList << state.labelNames.at(i);
    fill.fieldCountText = common::decimalText(state.fieldCount);
    fill.labelCountText = common::decimalText(state.labelCount);
    state.selectedFormatIndex = 0;
    state.selectedFieldIndex = 0;
    return fill;
}

} // namespace pelmar::app
