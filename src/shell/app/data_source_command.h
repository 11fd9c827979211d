#pragma once

#include "shell/app/app_context.h"

#include <QString>
#include <optional>

namespace pelmar::app {

// The system's file-open dialog (QFileDialog in the window).
class FileOpenDialog {
public:
    virtual ~FileOpenDialog() = default;
    // Shows the dialog with a title, one filter entry (its description as shown and the pattern
    // it matches) and a starting place (a folder, or a file whose folder is shown). Returns the
    // full path of the chosen file. Throws RunError(32755) when the operator cancels.
    virtual QString chooseFile(const QString& title, const QString& filterDescription,
                               const QString& filterPattern, const QString& initialPath) = 0;
};

inline const QString kDataSourceDialogTitle = QStringLiteral("選擇資料來源檔");

// What choosing a data file on the test-print screen left for the screen to show.
struct DataSourceResult {
    bool chosen = false;           // a file was chosen (TextFileName and the grid changed)
    bool testPrintEnabled = false; // cmdTestPrintOk: there are records now
    bool programEnds = false;      // the data reader ended the program (not exactly "/T")
};

// cmdSelDataSource_Click: the file dialog (starting at TextFileName, or the program folder when
// there is none); the chosen file becomes TextFileName and is read, shown in the grid and its
// current record shown. A cancelled dialog or any other error ends the click silently, changing
// nothing; read errors are reported by the reader itself. Nothing throws.
DataSourceResult cmdSelDataSource_Click(AppContext& context, FileOpenDialog& dialog);

// cmdBrowse_Click: the file dialog in the program folder, filter "文字檔(*.TXT)"; the chosen
// full path for txtFileName, or nothing when the operator cancelled. Nothing throws.
std::optional<QString> cmdBrowse_Click(const state::WorkingState& state, FileOpenDialog& dialog);

} // namespace pelmar::app
