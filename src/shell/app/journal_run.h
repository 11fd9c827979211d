#pragma once

#include "journal/journal.h"
#include "print_command/record_journal.h"
#include "shell/app/app_context.h"

#include <QString>
#include <memory>
#include <vector>

namespace pelmar::app {

// The journal of a program folder: [Files] JournalFile (relative to the program folder), or
// Pelmar.journal there.
QString journalPath(const state::WorkingState& state);

// Where a run prints, as the journal keeps it.
struct JournalTarget {
    QString printer;
    QString address;
    QString mode; // "command" or "driver"
};

// One run in the journal: started before its first record, or taken up again where an unfinished
// run of the same data file (same name and bytes) stopped; told of every record; finished with
// the run's end.
class JournalRun : public print_command::RecordJournal {
public:
    // Opens the journal of the context's program folder and starts the run of the loaded data
    // file and format (formatBytes: the format as read for this run), or goes on with an
    // unfinished run of the same data file: its records left "sending" become in doubt. The caller
    // holds the program folder's run lock, so no live process prints that run. Throws
    // RunError(57) naming the journal.
    JournalRun(AppContext& context, const QByteArray& formatBytes, const JournalTarget& target);

    qint64 id() const { return m_run; }
    // Whether an unfinished run was taken up again.
    bool resumed() const { return m_resumed; }
    // The record to go on from: after the last one an earlier attempt reached, else the
    // context's first record.
    int firstRecord() const { return m_firstRecord; }

    void sending(int record, long long labels) override;
    void notSent(int record) override;
    void sent(int record) override;
    void printed(int record) override;
    void leftOut(int record, const QString& reason) override;

    // Ends the run: records still "sending" become in doubt and, with those of earlier attempts,
    // join result.tally.inDoubt; then the outcome and exit status are written. Throws
    // RunError(57).
    void finish(FlowResult& result);

private:
    void write(int record, journal::RecordState state, const QString& reason = {});

    std::unique_ptr<journal::Journal> m_journal;
    qint64 m_run = 0;
    bool m_resumed = false;
    int m_firstRecord = 1;
    std::vector<int> m_inDoubt;
    int m_labelsRecord = 0;
    long long m_labels = 0;
};

} // namespace pelmar::app
