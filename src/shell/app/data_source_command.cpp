#include "shell/app/data_source_command.h"

#include "common/run_error.h"
#include "data/data_file_reader.h"
#include "data/data_grid.h"
#include "shell/app/delimiter_check.h"

namespace pelmar::app {

DataSourceResult cmdSelDataSource_Click(AppContext& context, FileOpenDialog& dialog) {
    state::WorkingState& state = context.state;
    DataSourceResult result;
    result.testPrintEnabled = state.recordCount != 0;
    // No file is chosen that could not be cut.
    if (!delimiterCanCut(context, kDataSourceDialogTitle))
        return result;
    try {
        const QString start =
            state.textFileName.isEmpty() ? state.programFolder : state.textFileName;
        const QString chosen =
            dialog.chooseFile(kDataSourceDialogTitle, QStringLiteral("資料來源檔(*.TXT)"),
                              QStringLiteral("*.TXT"), start);
        if (chosen.isEmpty())
            return result;
        state.textFileName = chosen;
        result.chosen = true;
        const data::DataReadResult read = data::LoadDataFile(state, context.messageBox);
        if (read.failed && read.endProgram) {
            result.programEnds = true;
            return result;
        }
        context.window.fillDataGrid(state);
        if (state.recordCount > 0)
            context.window.setPrintData(
                data::MSFlexGrid1_Click(state, context.window.gridCurrentRow()));
        result.testPrintEnabled = state.recordCount != 0;
    } catch (...) {
        // The operator's cancel and any other failure end the click without a word.
    }
    return result;
}

std::optional<QString> cmdBrowse_Click(const state::WorkingState& state, FileOpenDialog& dialog) {
    try {
        const QString chosen = dialog.chooseFile(QString(), QStringLiteral("文字檔(*.TXT)"),
                                                 QStringLiteral("*.TXT"), state.programFolder);
        if (!chosen.isEmpty())
            return chosen;
    } catch (...) {
        // A cancelled or failed dialog leaves the path as it was.
    }
    return std::nullopt;
}

} // namespace pelmar::app
