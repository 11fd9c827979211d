#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

struct sqlite3;

namespace pelmar::journal {

// The journal's file name in the program folder when the settings name no other.
inline constexpr char kDefaultJournalFileName[] = "Pelmar.journal";

// Who started a run.
enum class RunSource { Window, Command, Watch, Reprint };

// Where a record stands. pending -> sending (before its first byte) -> sent (after its last) ->
// printed (the printer reported it printed); or left-out (with a reason); a record found
// "sending" after its run's process died is in-doubt and is never sent again by itself.
enum class RecordState { Pending, Sending, Sent, Printed, LeftOut, InDoubt };

// "window", "command", "watch", "reprint".
QString sourceName(RunSource source);
// "pending", "sending", "sent", "printed", "left-out", "in-doubt".
QString stateName(RecordState state);
// The state a name spells; nothing for an unknown name.
std::optional<RecordState> stateFromName(const QString& name);
// The source a name spells; nothing for an unknown name.
std::optional<RunSource> sourceFromName(const QString& name);

// What a run records as it starts: the files as they were read for it, and where it prints.
struct RunStart {
    RunSource source = RunSource::Command;
    QString user;           // the user name of the process
    QString dataFileName;   // the data file's base name as it arrived
    QByteArray dataBytes;   // the data file's bytes as read for this run
    QString formatName;     // the format file's name
    QByteArray formatBytes; // the format file's bytes as read for this run
    QString printer;        // the printer's name
    QString printerAddress; // its address (host:port, file:PATH, CUPS queue), may be empty
    QString mode;           // "command" or "driver"
    qint64 reprintOf = 0;   // the run this one reprints, 0 for none
};

// One run as the journal holds it (without the bytes of its files).
struct RunRow {
    qint64 id = 0;
    QDateTime started; // local time
    QDateTime ended;   // invalid while the run is unfinished
    RunSource source = RunSource::Command;
    QString user;
    QString dataFileName;
    qint64 dataSize = 0;   // bytes
    QByteArray dataSha256; // lower-case hexadecimal
    QString formatName;
    QString printer;
    QString printerAddress;
    QString mode;
    QString outcome; // the run's end in words, empty while unfinished
    int status = -1; // the exit status, -1 while unfinished
    qint64 reprintOf = 0;
    int records = 0;      // records of the run in the journal
    long long labels = 0; // the quantities of its records that were sent or printed
};

// One record of a run.
struct RecordRow {
    qint64 run = 0;
    int record = 0;   // 1-based record number (the data file's line)
    int quantity = 0; // the labels it asks for
    RecordState state = RecordState::Pending;
    QString reason; // why it was left out, empty otherwise
    QDateTime time; // when it reached its state, local time
};

// The journal of every run: one SQLite database (WAL, synchronous=FULL). Every change is one
// committed transaction. Every failure throws common::RunError(57) whose Traditional Chinese
// description names the journal's path and what went wrong.
class Journal {
public:
    // Opens the journal at path, creating it (and its tables) when missing. Throws RunError.
    static std::unique_ptr<Journal> open(const QString& path);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    const QString& path() const { return m_path; }

    // Starts a run row (its start time now, SHA-256 and size of the data bytes); returns its
    // number. Throws RunError.
    qint64 startRun(const RunStart& start);
    // Records a record's state (and the reason when left out) at this moment, creating its row
    // on first use. Throws RunError.
    void setRecord(qint64 run, int record, int quantity, RecordState state,
                   const QString& reason = {});
    // Ends a run: its records still "sending" become in-doubt, then its end time now, its
    // outcome in words and its exit status. Throws RunError.
    void finishRun(qint64 run, const QString& outcome, int status);
    // Turns the run's records left "sending" into in-doubt; returns their numbers. Throws
    // RunError.
    std::vector<int> markSendingInDoubt(qint64 run);

    // The runs, newest first. Throws RunError.
    std::vector<RunRow> runs() const;
    // One run; nothing when the journal has no such run. Throws RunError.
    std::optional<RunRow> run(qint64 id) const;
    // A run's records in record order. Throws RunError.
    std::vector<RecordRow> records(qint64 run) const;
    // The data file's bytes as a run read them. Throws RunError.
    QByteArray dataBytes(qint64 run) const;
    // The format file's bytes as a run read them. Throws RunError.
    QByteArray formatBytes(qint64 run) const;
    // The newest unfinished run of a data file (same base name and SHA-256 of its bytes),
    // reprints aside; nothing when there is none. Throws RunError.
    std::optional<RunRow> unfinishedRun(const QString& dataFileName,
                                        const QByteArray& dataBytes) const;
    // Removes the runs started more than days days ago and gives their space back; returns how
    // many went. Throws RunError.
    int prune(int days);

private:
    Journal(QString path, sqlite3* db);
    QString m_path;
    sqlite3* m_db;
};

} // namespace pelmar::journal
