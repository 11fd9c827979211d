#include "shell/gui/main_window_adapter.h"

#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/print_panel.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace pelmar::gui {

void MainWindowAdapter::setStatusMessage(const QString& text) {
    m_window.setStatusMessage(text);
}

void MainWindowAdapter::setPrintItem(const QString& text) {
    m_window.setPrintItem(text);
}

void MainWindowAdapter::setPrintData(const QString& text) {
    m_window.setPrintData(text);
}

void MainWindowAdapter::showGridRow(int row) {
    m_window.showGridRow(row);
}

void MainWindowAdapter::setPrintItemToolTip(const QString& text) {
    m_window.lblPrintItem()->setToolTip(text);
}

void MainWindowAdapter::pointFileList(const QString& folder, const QString& pattern) {
    m_window.pointFileList(folder, pattern);
}

void MainWindowAdapter::showNow() {
    m_window.show();
    m_window.repaint();
    // Lets the window system map and paint the window before start-up goes on.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindowAdapter::setPrinterList(const QStringList& deviceNames) {
    m_window.setPrinterList(deviceNames);
}

void MainWindowAdapter::setPrinterText(const QString& text) {
    m_window.setPrinterText(text);
}

void MainWindowAdapter::setWindowState(app::WindowState state) {
    switch (state) {
    case app::WindowState::Normal:
        m_window.showNormal();
        break;
    case app::WindowState::Minimized:
        m_window.showMinimized();
        break;
    case app::WindowState::Maximized:
        m_window.showMaximized();
        break;
    }
}

void MainWindowAdapter::activate() {
    m_window.repaint();
    m_window.raise();
    m_window.activateWindow();
}

void MainWindowAdapter::addPrintFormat(const QString& name) {
    m_window.FramePrint()->listSelectLabel()->addItem(name);
}

QString MainWindowAdapter::selectedPrintFormat() const {
    return m_window.FramePrint()->selectedFormat();
}

void MainWindowAdapter::setSetupMenusVisible(bool visible) {
    m_window.mnuTestPrint()->setVisible(visible);
    m_window.mnuSetup()->setVisible(visible);
    m_window.mnuJournal()->setVisible(visible);
}

void MainWindowAdapter::showPrintPanel(const QString& caption) {
    PrintPanel* panel = m_window.FramePrint();
    panel->setTitle(caption);
    panel->show();
    panel->raise();
    panel->repaint();
}

void MainWindowAdapter::setPrintButtonEnabled(bool enabled) {
    m_window.FramePrint()->cmdPrint()->setEnabled(enabled);
}

void MainWindowAdapter::setCancelButtonEnabled(bool enabled) {
    m_window.FramePrint()->cmdDelete()->setEnabled(enabled);
}

void MainWindowAdapter::setPriceBox(bool enabled, const QString& text) {
    QLineEdit* box = m_window.FramePrint()->txtADPrice2();
    box->setEnabled(enabled);
    box->setText(text);
}

void MainWindowAdapter::setFocus(app::FocusTarget target) {
    PrintPanel* panel = m_window.FramePrint();
    switch (target) {
    case app::FocusTarget::ListSelectLabel:
        panel->listSelectLabel()->setFocus();
        break;
    case app::FocusTarget::CmdDelete:
        panel->cmdDelete()->setFocus();
        break;
    case app::FocusTarget::CmdPrint:
        panel->cmdPrint()->setFocus();
        break;
    }
}

void MainWindowAdapter::fillDataGrid(const state::WorkingState& state) {
    m_window.fillDataGrid(state);
}

int MainWindowAdapter::gridCurrentRow() const {
    return m_window.gridCurrentRow();
}

} // namespace pelmar::gui
