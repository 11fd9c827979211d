#pragma once

#include "common/run_view.h"
#include "state/working_state.h"

#include <QString>
#include <QStringList>

namespace pelmar::app {

enum class WindowState { Normal, Minimized, Maximized };

// Controls that start-up and the print commands put the input focus on.
enum class FocusTarget { ListSelectLabel, CmdDelete, CmdPrint };

// What start-up (Form_Load) and the print panel's commands do to the main window. The Qt window
// implements it by showing and forwarding; tests record the calls. The run captions and the grid
// row come from common::RunView.
class MainWindow : public common::RunView {
public:
    // The tooltip of lblPrintItem (the printer name).
    virtual void setPrintItemToolTip(const QString& text) = 0;
    // Points the format file list FileList at a folder with a pattern ("*.FMT").
    virtual void pointFileList(const QString& folder, const QString& pattern) = 0;
    // Shows the window and repaints it at once.
    virtual void showNow() = 0;
    // The drop-down list cboPrinter: its entries, and its text (which need not be an entry).
    virtual void setPrinterList(const QStringList& deviceNames) = 0;
    virtual void setPrinterText(const QString& text) = 0;
    virtual void setWindowState(WindowState state) = 0;
    // Repaints the window and gives it the focus.
    virtual void activate() = 0;
    // The print panel's format list listSelectLabel.
    virtual void addPrintFormat(const QString& name) = 0;
    // The text of the selected entry of listSelectLabel, empty when none is selected.
    virtual QString selectedPrintFormat() const = 0;
    // The menus behind the password: mnuTestPrint, mnuSetup and mnuJournal.
    virtual void setSetupMenusVisible(bool visible) = 0;
    // Shows the print panel FramePrint with a caption.
    virtual void showPrintPanel(const QString& caption) = 0;
    virtual void setPrintButtonEnabled(bool enabled) = 0;  // cmdPrint
    virtual void setCancelButtonEnabled(bool enabled) = 0; // cmdDelete
    // The price box of the print panel, txtADPrice2.
    virtual void setPriceBox(bool enabled, const QString& text) = 0;
    virtual void setFocus(FocusTarget target) = 0;
    // FillDataGrid: the grid shows the records of the working state (header row only when there
    // are none); its current row is then gridCurrentRow().
    virtual void fillDataGrid(const state::WorkingState& state) = 0;
    virtual int gridCurrentRow() const = 0;
};

} // namespace pelmar::app
