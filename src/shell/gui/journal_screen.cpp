#include "shell/gui/journal_screen.h"

#include "common/run_error.h"
#include "shell/app/journal_run.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/journal_panel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace pelmar::gui {

namespace {

const QString kCaption = QStringLiteral("列印記錄");

// The printers a reprint may go to: the run's own first, then those the window knows.
QStringList reprintPrinters(const QString& runPrinter, const QStringList& installed,
                            const state::WorkingState& state) {
    QStringList printers{runPrinter};
    printers << installed << state.printerName;
    for (const auto& [name, address] : state.ports)
        printers << name;
    printers.removeAll(QString());
    printers.removeDuplicates();
    return printers;
}

} // namespace

JournalScreen::JournalScreen(app::AppContext& context, FrmPelmarChi& window,
                             app::Reprinter& reprinter)
    : QObject(&window), m_context(context), m_window(window), m_reprinter(reprinter),
      m_panel(new JournalPanel(window.clientArea())) {
    window.registerPanel(m_panel, JournalPanel::designedSize);
    connect(m_panel, &JournalPanel::runChosen, this, [this](int row) {
        try {
            chooseRun(row);
        } catch (...) {
            common::showMessage(m_context.messageBox, common::caughtError().description,
                                QStringLiteral("發生非預期錯誤"));
        }
    });
    connect(m_panel, &JournalPanel::cmdReprintClicked, this, &JournalScreen::cmdReprint_Click);
    connect(m_panel, &JournalPanel::cmdJournalCancelClicked, this,
            &JournalScreen::cmdJournalCancel_Click);
}

QString JournalScreen::path() const {
    return app::journalPath(m_context.state);
}

void JournalScreen::open() {
    if (m_busy)
        return; // the gate opened over a reprint under way: the screen stays as it is
    m_window.setStatusMessage(app::kJournalScreenStatus);
    m_panel->show();
    m_panel->raise();
    readRuns(0);
    m_panel->gridRuns()->setFocus();
}

void JournalScreen::readRuns(qint64 chosenRun) {
    const app::JournalRuns read = app::readJournalRuns(path());
    m_runs = read.runs;
    std::vector<QStringList> rows;
    int chosenRow = m_runs.empty() ? -1 : 0;
    for (const journal::RunRow& run : m_runs) {
        if (run.id == chosenRun)
            chosenRow = static_cast<int>(rows.size());
        rows.push_back(app::journalRunCells(run));
    }
    m_panel->showRuns(app::journalRunHeaders(), rows);
    m_panel->chooseRun(chosenRow);
    chooseRun(chosenRow);
    m_panel->repaint();
    if (!read.problem.isEmpty())
        common::showMessage(m_context.messageBox, read.problem, kCaption,
                            common::MessageIcon::Exclamation);
}

void JournalScreen::chooseRun(int row) {
    m_records.clear();
    m_chosenRun = 0;
    QString problem;
    QString printer;
    if (row >= 0 && row < static_cast<int>(m_runs.size())) {
        const journal::RunRow& run = m_runs[static_cast<size_t>(row)];
        const app::JournalRecords read = app::readJournalRecords(path(), run.id);
        m_chosenRun = run.id;
        m_records = read.records;
        problem = read.problem;
        printer = run.printer;
    }
    std::vector<QStringList> rows;
    for (const journal::RecordRow& record : m_records)
        rows.push_back(app::journalRecordCells(record));
    m_panel->showRecords(app::journalRecordHeaders(), rows);
    const app::RecordRange whole = app::wholeRun(m_records);
    m_panel->setRange(m_records.empty() ? QString() : QString::number(whole.first),
                      m_records.empty() ? QString() : QString::number(whole.last));
    m_panel->setPrinters(reprintPrinters(printer, m_window.printerList(), m_context.state),
                         printer);
    if (!problem.isEmpty())
        common::showMessage(m_context.messageBox, problem, kCaption,
                            common::MessageIcon::Exclamation);
}

void JournalScreen::cmdJournalCancel_Click() {
    if (m_busy) {
        // The reprint stops between labels; the screen stays until it has.
        m_reprinter.cancel();
        return;
    }
    m_panel->hide();
    m_runs.clear();
    m_records.clear();
    emit closed();
}

void JournalScreen::cmdReprint_Click() {
    if (m_busy)
        return;
    try {
        const app::ReprintCheck check = app::checkReprint(
            m_chosenRun, m_records, m_panel->txtFromRecord()->text(),
            m_panel->txtToRecord()->text(), m_panel->cboReprintPrinter()->currentText());
        if (!check.request) {
            common::showMessage(m_context.messageBox, check.problem, kCaption,
                                common::MessageIcon::Exclamation);
            QWidget* const boxes[] = {m_panel->gridRuns(), m_panel->txtFromRecord(),
                                      m_panel->txtToRecord(), m_panel->cboReprintPrinter()};
            QWidget* box = boxes[static_cast<int>(check.field)];
            box->setFocus();
            if (auto* line = qobject_cast<QLineEdit*>(box))
                line->selectAll();
            return;
        }
        common::Message question;
        question.text = app::reprintQuestion(*check.request, m_records);
        question.caption = kCaption;
        question.icon = common::MessageIcon::Question;
        question.buttons = common::MessageButtons::YesNo;
        question.defaultAnswer = common::MessageAnswer::No;
        if (m_context.messageBox.show(question) != common::MessageAnswer::Yes)
            return;
        m_busy = true;
        m_panel->cmdReprint()->setEnabled(false);
        try {
            m_reprinter.reprint(m_context, *check.request);
        } catch (...) {
            common::showMessage(m_context.messageBox, common::caughtError().description, kCaption);
        }
        m_busy = false;
        m_panel->cmdReprint()->setEnabled(true);
        // The run showed the reprinted records; the window's own chosen record comes back.
        if (m_context.state.recordCount > 0) {
            m_window.showGridRow(m_context.state.currentRecord);
            m_window.MSFlexGrid1_Click();
        }
        readRuns(check.request->run);
        m_panel->cmdReprint()->setFocus();
    } catch (...) {
        m_busy = false;
        m_panel->cmdReprint()->setEnabled(true);
        common::showMessage(m_context.messageBox, common::caughtError().description,
                            QStringLiteral("發生非預期錯誤"));
    }
}

} // namespace pelmar::gui
