#pragma once

#include "journal/journal.h"
#include "shell/app/app_context.h"
#include "state/working_state.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace pelmar::app {

// Status text of lblMsg while the journal screen shows.
inline const QString kJournalScreenStatus =
    QStringLiteral("[重印-再印選擇的資料] [離開-離開列印記錄]");

// The column titles of the run list and of the record list.
QStringList journalRunHeaders();
QStringList journalRecordHeaders();

// A run's cells under journalRunHeaders: number, start time, source, data file, format, printer,
// labels, records, outcome.
QStringList journalRunCells(const journal::RunRow& run);
// A record's cells under journalRecordHeaders: number, quantity, state, time, reason.
QStringList journalRecordCells(const journal::RecordRow& record);
// A record's state as the window says it ("待印", "已送出", "已印", "略過", "不確定", ...).
QString recordStateText(journal::RecordState state);
// How a run ended, from its exit status; "未完成" while it has none.
QString runOutcomeText(const journal::RunRow& run);

// What the journal screen reads: the runs (newest first) or a run's records, or why it could not
// (problem, in words for a message box; the lists are empty then).
struct JournalRuns {
    std::vector<journal::RunRow> runs;
    QString problem;
};
struct JournalRecords {
    std::vector<journal::RecordRow> records;
    QString problem;
};

// Reads the runs of the journal at path. A missing journal is reported, never created here.
JournalRuns readJournalRuns(const QString& path);
// Reads the records of one run of the journal at path, as readJournalRuns.
JournalRecords readJournalRecords(const QString& path, qint64 run);

// A range of record numbers, first to last, both included.
struct RecordRange {
    int first = 0;
    int last = 0;
};
// The range of every record a run holds; {0, 0} for a run without records.
RecordRange wholeRun(const std::vector<journal::RecordRow>& records);
// The records of a run that a range prints again, in record order.
std::vector<journal::RecordRow> recordsInRange(const std::vector<journal::RecordRow>& records,
                                               RecordRange range);

// What the journal screen asks to print again: records first..last of a run, as a new run on a
// printer.
struct ReprintRequest {
    qint64 run = 0;
    RecordRange range;
    QString printer;
};

// The box of the journal screen that a refused reprint names.
enum class ReprintField { Runs, From, To, Printer };

// The reprint the screen's boxes ask for, or what is wrong with them (problem and the box to
// fix). run is 0 when no run is chosen; records are the chosen run's.
struct ReprintCheck {
    std::optional<ReprintRequest> request;
    QString problem;
    ReprintField field = ReprintField::Runs;
};
ReprintCheck checkReprint(qint64 run, const std::vector<journal::RecordRow>& records,
                          const QString& from, const QString& to, const QString& printer);

// The question the window asks before it prints records again: which, how many labels, where.
QString reprintQuestion(const ReprintRequest& request,
                        const std::vector<journal::RecordRow>& records);

// Prints records of a journal run again, from the journal's copies of its data and format, as a
// new run that names the run it reprints; its progress and its end are shown through
// context.window and context.messageBox as any run of the window. Throws RunError for a failure
// it does not report itself.
class Reprinter {
public:
    virtual ~Reprinter() = default;
    virtual FlowResult reprint(AppContext& context, const ReprintRequest& request) = 0;
    // Asks the reprint under way (if any) to stop between labels.
    virtual void cancel() = 0;
};

} // namespace pelmar::app
