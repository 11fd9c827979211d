#pragma once

#include "shell/app/test_print_command.h"
#include "shell/app/test_print_preview.h"
#include "state/working_state.h"

#include <QGroupBox>
#include <QSizeF>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace pelmar::gui {

// The test-print screen frameTestPrint: the data file name, the format list ListLabel, the
// quantity box, the price box txtADPrice1 (which edits ADPrice at once) and four buttons that
// only signal. It is the screen the test-print command reads.
class TestPrintPanel : public QGroupBox, public app::TestPrintScreen {
    Q_OBJECT
public:
    // Designed size in twips.
    static constexpr QSizeF designedSize{7155, 4005};

    TestPrintPanel(state::WorkingState& state, QWidget* parent);

    QLabel* lblDataSourceName() const { return m_lblDataSourceName; }
    QListWidget* ListLabel() const { return m_listLabel; }
    QLineEdit* txtTestPrintQty() const { return m_txtTestPrintQty; }
    QLineEdit* txtADPrice1() const { return m_txtADPrice1; }
    QPushButton* cmdSelDataSource() const { return m_cmdSelDataSource; }
    QPushButton* cmdEditFormat() const { return m_cmdEditFormat; }
    QPushButton* cmdTestPrintOk() const { return m_cmdTestPrintOk; }
    QPushButton* cmdTestPrintCancel() const { return m_cmdTestPrintCancel; }
    // The label that 試印 would print, or why it cannot be drawn.
    QLabel* lblLabelPreview() const { return m_lblLabelPreview; }

    // Draws the label of the chosen record and format again when either has changed (checked by
    // itself every moment while the screen is shown).
    void refreshPreview();

    // app::TestPrintScreen
    using QGroupBox::setFocus;
    QString firstListedFormat() const override;
    QString quantityText() const override;
    void setFocus(app::TestPrintFocus target) override;

signals:
    void ListLabelClicked(const QString& entry);
    void cmdSelDataSourceClicked();
    void cmdEditFormatClicked();
    void cmdTestPrintOkClicked();
    void cmdTestPrintCancelClicked();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The places of the controls, in twips as designed.
    void placeControls();
    void showPreview(const app::LabelPreview& preview);

    QLabel* m_label2;
    QLabel* m_lblDataSourceName;
    QLabel* m_label3;
    QListWidget* m_listLabel;
    QLabel* m_label1;
    QLineEdit* m_txtTestPrintQty;
    QLabel* m_label17;
    QLineEdit* m_txtADPrice1;
    QPushButton* m_cmdSelDataSource;
    QPushButton* m_cmdEditFormat;
    QPushButton* m_cmdTestPrintOk;
    QPushButton* m_cmdTestPrintCancel;
    QLabel* m_lblLabelPreview;
    state::WorkingState& m_state;
    app::TestPrintPreview m_preview;
    QTimer* m_previewTimer;
};

} // namespace pelmar::gui
