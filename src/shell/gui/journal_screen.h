#pragma once

#include "journal/journal.h"
#include "shell/app/app_context.h"
#include "shell/app/journal_screen.h"

#include <QObject>
#include <vector>

namespace pelmar::gui {

class FrmPelmarChi;
class JournalPanel;

// The journal screen behind the password gate: lists the runs of the journal and the records of
// the chosen one, and prints a chosen range again through the reprinter, with the window's
// progress, then lists the runs anew. The decisions are those of shell/app/journal_screen.h; no
// exception leaves a slot.
class JournalScreen : public QObject {
    Q_OBJECT
public:
    // Builds the panel on the window's client area; it reads the journal of the program folder
    // (app::journalPath). The reprinter must outlive the screen.
    JournalScreen(app::AppContext& context, FrmPelmarChi& window, app::Reprinter& reprinter);

    JournalPanel* frameJournal() const { return m_panel; }
    // A reprint is under way (the screen's buttons only ask it to stop meanwhile).
    bool busy() const { return m_busy; }

    // Shows the screen with the runs read afresh, the newest chosen; a journal that cannot be
    // read is told in a message box and the lists stay empty.
    void open();
    // cmdJournalCancel and Escape: leaves the screen, or asks a reprint under way to stop.
    void cmdJournalCancel_Click();
    // cmdReprint: checks the range and the printer, asks, then prints the range again.
    void cmdReprint_Click();

signals:
    // The screen was left; the window's menus take over again.
    void closed();

private:
    void readRuns(qint64 chosenRun);
    void chooseRun(int row);
    QString path() const;

    app::AppContext& m_context;
    FrmPelmarChi& m_window;
    app::Reprinter& m_reprinter;
    JournalPanel* m_panel;
    std::vector<journal::RunRow> m_runs;
    std::vector<journal::RecordRow> m_records;
    qint64 m_chosenRun = 0;
    bool m_busy = false;
};

} // namespace pelmar::gui
