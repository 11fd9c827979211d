#pragma once

#include "state/working_state.h"

#include <QGroupBox>
#include <QSizeF>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace pelmar::gui {

// The print panel FramePrint of automatic printing: the format list, the price box and the
// print and cancel-printing buttons. Its buttons only signal; the window's owner runs
// cmdPrint_Click and cmdDelete_Click.
class PrintPanel : public QGroupBox {
    Q_OBJECT
public:
    // Designed size in twips.
    static constexpr QSizeF designedSize{4215, 5265};

    // The panel edits ADPrice of the state through txtADPrice2.
    PrintPanel(state::WorkingState& state, QWidget* parent);

    QListWidget* listSelectLabel() const { return m_listSelectLabel; }
    QLineEdit* txtADPrice2() const { return m_txtADPrice2; }
    QPushButton* cmdPrint() const { return m_cmdPrint; }
    QPushButton* cmdDelete() const { return m_cmdDelete; }

    // The text of the selected format, empty when none is selected.
    QString selectedFormat() const;

signals:
    void cmdPrintClicked();
    void cmdDeleteClicked();

private:
    QLabel* m_label12;
    QListWidget* m_listSelectLabel;
    QLabel* m_label18;
    QLineEdit* m_txtADPrice2;
    QPushButton* m_cmdPrint;
    QPushButton* m_cmdDelete;
};

} // namespace pelmar::gui
