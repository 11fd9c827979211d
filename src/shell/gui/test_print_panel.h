#pragma once

#include "shell/app/test_print_command.h"
#include "state/working_state.h"

#include <QGroupBox>
#include <QSizeF>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

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

private:
    // The places of the controls, in twips as designed.
    void placeControls();

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
};

} // namespace pelmar::gui
