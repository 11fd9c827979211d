#pragma once

#include "shell/app/screen_filling.h"
#include "shell/gui/setup_fields_frame.h"
#include "shell/gui/setup_formats_frame.h"
#include "state/setup_save.h"
#include "state/working_state.h"

#include <QGroupBox>
#include <QSizeF>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pelmar::gui {

// The setup screen frameSetup: labels across, the print mode, the save and leave buttons, the
// data file with its browse button, the printer list cboPrinter, and the groups Frame1 (fields)
// and Frame2 (formats). It holds the unsaved copy of the settings; its buttons only signal.
class SetupPanel : public QGroupBox {
    Q_OBJECT
public:
    // Designed size in twips.
    static constexpr QSizeF designedSize{6630, 8145};

    SetupPanel(const state::WorkingState& state, QWidget* parent);

    QLineEdit* txtLabelAcross() const { return m_txtLabelAcross; }
    QRadioButton* optPrintMode(int index) const {
        return index == 0 ? m_optPrintMode0 : m_optPrintMode1;
    }
    QPushButton* cmdSetupOk() const { return m_cmdSetupOk; }
    QPushButton* cmdSetupCancel() const { return m_cmdSetupCancel; }
    QLineEdit* txtFileName() const { return m_txtFileName; }
    QPushButton* cmdBrowse() const { return m_cmdBrowse; }
    QComboBox* cboPrinter() const { return m_cboPrinter; }
    SetupFieldsFrame* Frame1() const { return m_frame1; }
    SetupFormatsFrame* Frame2() const { return m_frame2; }

    // Fills every control from the opening values; cboPrinter lists `printers` and shows the
    // saved printer name even when it is not among them. FileList reads folder with pattern.
    void fill(const app::SetupScreenFill& fill, const QStringList& printers, const QString& folder,
              const QString& pattern);
    // What the save button reads from the screen.
    state::SetupScreenValues values() const;
    // optPrintMode_Click: the printer list is usable exactly while "Send Command" is selected.
    void optPrintMode_Click(int index);
    // Puts the focus on a control named by a refused save.
    void focusControl(state::SetupFocus focus);

signals:
    void cmdSetupOkClicked();
    void cmdSetupCancelClicked();
    void cmdBrowseClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The places of the controls, in twips as designed.
    void placeControls();
    void orderTabs();

    QLabel* m_label10;
    QLineEdit* m_txtLabelAcross;
    QLabel* m_label14;
    QRadioButton* m_optPrintMode0;
    QRadioButton* m_optPrintMode1;
    QPushButton* m_cmdSetupOk;
    QPushButton* m_cmdSetupCancel;
    QLabel* m_label19;
    QLineEdit* m_txtFileName;
    QPushButton* m_cmdBrowse;
    QLabel* m_label5;
    QComboBox* m_cboPrinter;
    SetupFieldsFrame* m_frame1;
    SetupFormatsFrame* m_frame2;
};

} // namespace pelmar::gui
