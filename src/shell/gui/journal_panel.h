#pragma once

#include <QGroupBox>
#include <QSizeF>
#include <QStringList>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace pelmar::gui {

// The journal screen frameJournal: the runs of the journal (gridRuns), the records of the chosen
// run (gridRecords), the range to print again (txtFromRecord, txtToRecord), the printer
// (cboReprintPrinter) and the buttons cmdReprint and cmdJournalCancel. It shows and signals;
// Enter in a range or printer box asks for the reprint, Escape anywhere on it asks to leave.
class JournalPanel : public QGroupBox {
    Q_OBJECT
public:
    // Designed size in twips: low enough to leave the progress cell and the status line in view.
    static constexpr QSizeF designedSize{9600, 6900};

    explicit JournalPanel(QWidget* parent);

    QTableWidget* gridRuns() const { return m_gridRuns; }
    QTableWidget* gridRecords() const { return m_gridRecords; }
    QLineEdit* txtFromRecord() const { return m_txtFrom; }
    QLineEdit* txtToRecord() const { return m_txtTo; }
    QComboBox* cboReprintPrinter() const { return m_cboPrinter; }
    QPushButton* cmdReprint() const { return m_cmdReprint; }
    QPushButton* cmdJournalCancel() const { return m_cmdCancel; }

    // Replaces the rows of a list; the chosen row is signalled only by the operator's choice.
    void showRuns(const QStringList& headers, const std::vector<QStringList>& rows);
    void showRecords(const QStringList& headers, const std::vector<QStringList>& rows);
    // Makes a run row current without signalling it; -1 for none.
    void chooseRun(int row);
    // The range boxes, and the printer list with the text it shows.
    void setRange(const QString& from, const QString& to);
    void setPrinters(const QStringList& printers, const QString& chosen);

signals:
    // The operator moved to another run row (0-based).
    void runChosen(int row);
    void cmdReprintClicked();
    void cmdJournalCancelClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void placeControls();

    QLabel* m_lblRuns;
    QTableWidget* m_gridRuns;
    QLabel* m_lblRecords;
    QTableWidget* m_gridRecords;
    QLabel* m_lblFrom;
    QLineEdit* m_txtFrom;
    QLabel* m_lblTo;
    QLineEdit* m_txtTo;
    QLabel* m_lblPrinter;
    QComboBox* m_cboPrinter;
    QPushButton* m_cmdReprint;
    QPushButton* m_cmdCancel;
    bool m_choosing = false;
};

} // namespace pelmar::gui
