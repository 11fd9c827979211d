#pragma once

#include "shell/app/main_window.h"

namespace pelmar::gui {

class FrmPelmarChi;

// The window as start-up and the print commands see it: each call shows or forwards on the Qt
// window, nothing is decided here.
class MainWindowAdapter : public app::MainWindow {
public:
    explicit MainWindowAdapter(FrmPelmarChi& window) : m_window(window) {}

    void setStatusMessage(const QString& text) override;
    void setPrintItem(const QString& text) override;
    void setPrintData(const QString& text) override;
    void showGridRow(int row) override;

    void setPrintItemToolTip(const QString& text) override;
    void pointFileList(const QString& folder, const QString& pattern) override;
    void showNow() override;
    void setPrinterList(const QStringList& deviceNames) override;
    void setPrinterText(const QString& text) override;
    void setWindowState(app::WindowState state) override;
    void activate() override;
    void addPrintFormat(const QString& name) override;
    QString selectedPrintFormat() const override;
    void setSetupMenusVisible(bool visible) override;
    void showPrintPanel(const QString& caption) override;
    void setPrintButtonEnabled(bool enabled) override;
    void setCancelButtonEnabled(bool enabled) override;
    void setPriceBox(bool enabled, const QString& text) override;
    void setFocus(app::FocusTarget target) override;
    void fillDataGrid(const state::WorkingState& state) override;
    int gridCurrentRow() const override;

private:
    FrmPelmarChi& m_window;
};

} // namespace pelmar::gui
