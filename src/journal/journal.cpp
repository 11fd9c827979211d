#include "journal/journal.h"

#include "common/run_error.h"
#include "common/timing.h"
#include "journal/record_state.h"
#include "journal/sqlite_statement.h"

#include <QCryptographicHash>
#include <QFile>

#include <sqlite3.h>

namespace pelmar::journal {

namespace {

// PRAGMA user_version of the tables below; a later layout raises it and converts older files.
constexpr int kSchemaVersion = 1;

constexpr char kCreateTables[] = R"(
CREATE TABLE runs(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  started INTEGER NOT NULL,
  ended INTEGER,
  source TEXT NOT NULL,
  who TEXT NOT NULL,
  data_name TEXT NOT NULL,
  data_size INTEGER NOT NULL,
  data_sha256 TEXT NOT NULL,
  data_bytes BLOB NOT NULL,
  format_name TEXT NOT NULL,
  format_bytes BLOB NOT NULL,
  printer TEXT NOT NULL,
  printer_address TEXT NOT NULL,
  mode TEXT NOT NULL,
  outcome TEXT,
  status INTEGER,
  reprint_of INTEGER);
CREATE INDEX runs_by_file ON runs(data_name, data_sha256);
CREATE TABLE records(
  run INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,
  record INTEGER NOT NULL,
  quantity INTEGER NOT NULL,
  state TEXT NOT NULL,
  reason TEXT NOT NULL,
  time INTEGER NOT NULL,
  PRIMARY KEY(run, record));
PRAGMA user_version = 1;
)";

constexpr char kRunColumns[] =
    "SELECT r.id, r.started, r.ended, r.source, r.who, r.data_name, r.data_size, r.data_sha256,"
    " r.format_name, r.printer, r.printer_address, r.mode, r.outcome, r.status, r.reprint_of,"
    " (SELECT count(*) FROM records c WHERE c.run = r.id),"
    " (SELECT coalesce(sum(c.quantity), 0) FROM records c WHERE c.run = r.id"
    "  AND c.state IN ('sent', 'printed'))"
    " FROM runs r ";

qint64 nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

QDateTime timeOf(const Statement& row, int column) {
    return row.isNull(column) ? QDateTime() : QDateTime::fromMSecsSinceEpoch(row.integer(column));
}

RunRow readRun(const Statement& row) {
    RunRow run;
    run.id = row.integer(0);
    run.started = timeOf(row, 1);
    run.ended = timeOf(row, 2);
    run.source = sourceFromName(row.text(3)).value_or(RunSource::Command);
    run.user = row.text(4);
    run.dataFileName = row.text(5);
    run.dataSize = row.integer(6);
    run.dataSha256 = row.text(7).toLatin1();
    run.formatName = row.text(8);
    run.printer = row.text(9);
    run.printerAddress = row.text(10);
    run.mode = row.text(11);
    run.outcome = row.text(12);
    run.status = row.isNull(13) ? -1 : int(row.integer(13));
    run.reprintOf = row.integer(14);
    run.records = int(row.integer(15));
    run.labels = row.integer(16);
    return run;
}

QByteArray sha256Hex(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// One committed transaction around work; rolled back when work throws.
template <typename Work> auto inTransaction(sqlite3* db, const QString& path, Work&& work) {
    execute(db, path, "BEGIN IMMEDIATE");
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            execute(db, path, "COMMIT");
        } else {
            auto result = work();
            execute(db, path, "COMMIT");
            return result;
        }
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace

std::unique_ptr<Journal> Journal::open(const QString& path) {
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<Journal> journal(new Journal(path, db));
    if (opened != SQLITE_OK)
        failJournal(path, QStringLiteral("無法開啟"), db);
    sqlite3_busy_timeout(db, int(common::timing::kJournalBusyTimeout.count()));
    {
        Statement mode(db, journal->m_path, "PRAGMA journal_mode = WAL");
        if (!mode.step() || mode.text(0) != QLatin1String("wal"))
            failJournal(path, QStringLiteral("無法使用預寫記錄 (WAL)"), db);
    }
    execute(db, journal->m_path, "PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON");
    inTransaction(db, journal->m_path, [&] {
        Statement version(db, journal->m_path, "PRAGMA user_version");
        const qint64 found = version.step() ? version.integer(0) : 0;
        if (found > kSchemaVersion)
            throw common::RunError(
                common::DeviceIoError,
                QStringLiteral("列印記錄簿 %1 是較新版本程式的格式 (版本 %2), 本程式只認得版本 %3")
                    .arg(path)
                    .arg(found)
                    .arg(kSchemaVersion));
        if (found == 0)
            execute(db, journal->m_path, kCreateTables);
    });
    return journal;
}

Journal::Journal(QString path, sqlite3* db) : m_path(std::move(path)), m_db(db) {}

Journal::~Journal() {
    sqlite3_close_v2(m_db);
}

qint64 Journal::startRun(const RunStart& start) {
    return inTransaction(m_db, m_path, [&] {
        Statement insert(m_db, m_path,
                         "INSERT INTO runs(started, source, who, data_name, data_size,"
                         " data_sha256, data_bytes, format_name, format_bytes, printer,"
                         " printer_address, mode, reprint_of)"
                         " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        insert.bind(1, nowMs())
            .bind(2, sourceName(start.source))
            .bind(3, start.user)
            .bind(4, start.dataFileName)
            .bind(5, qint64(start.dataBytes.size()))
            .bind(6, QString::fromLatin1(sha256Hex(start.dataBytes)))
            .bindBlob(7, start.dataBytes)
            .bind(8, start.formatName)
            .bindBlob(9, start.formatBytes)
            .bind(10, start.printer)
            .bind(11, start.printerAddress)
            .bind(12, start.mode);
        if (start.reprintOf > 0)
            insert.bind(13, start.reprintOf);
        else
            insert.bindNull(13);
        insert.run();
        return qint64(sqlite3_last_insert_rowid(m_db));
    });
}

void Journal::setRecord(qint64 run, int record, int quantity, RecordState state,
                        const QString& reason) {
    inTransaction(m_db, m_path, [&] {
        Statement current(m_db, m_path, "SELECT state FROM records WHERE run = ? AND record = ?");
        current.bind(1, run).bind(2, record);
        const std::optional<RecordState> from =
            current.step() ? stateFromName(current.text(0)) : std::nullopt;
        if (!transitionAllowed(from, state))
            throw common::RunError(
                common::DeviceIoError,
                QStringLiteral("列印記錄簿 %1: 第 %2 次列印的第 %3 筆不能從 %4 改為 %5")
                    .arg(m_path)
                    .arg(run)
                    .arg(record)
                    .arg(from ? stateName(*from) : QStringLiteral("(無)"), stateName(state)));
        Statement write(m_db, m_path,
                        "INSERT INTO records(run, record, quantity, state, reason, time)"
                        " VALUES(?, ?, ?, ?, ?, ?) ON CONFLICT(run, record) DO UPDATE SET"
                        " quantity = excluded.quantity, state = excluded.state,"
                        " reason = excluded.reason, time = excluded.time");
        write.bind(1, run)
            .bind(2, record)
            .bind(3, qint64(quantity))
            .bind(4, stateName(state))
            .bind(5, reason)
            .bind(6, nowMs())
            .run();
    });
}

void Journal::finishRun(qint64 run, const QString& outcome, int status) {
    inTransaction(m_db, m_path, [&] {
        // A finished run has no record on its way: one left "sending" may have gone out.
        Statement doubt(m_db, m_path,
                        "UPDATE records SET state = 'in-doubt', time = ?"
                        " WHERE run = ? AND state = 'sending'");
        doubt.bind(1, nowMs()).bind(2, run).run();
        Statement end(m_db, m_path,
                      "UPDATE runs SET ended = ?, outcome = ?, status = ? WHERE id = ?");
        end.bind(1, nowMs()).bind(2, outcome).bind(3, qint64(status)).bind(4, run).run();
    });
}

std::vector<int> Journal::markSendingInDoubt(qint64 run) {
    return inTransaction(m_db, m_path, [&] {
        std::vector<int> doubtful;
        Statement sending(m_db, m_path,
                          "SELECT record FROM records WHERE run = ? AND state = 'sending'"
                          " ORDER BY record");
        sending.bind(1, run);
        while (sending.step())
            doubtful.push_back(int(sending.integer(0)));
        Statement mark(m_db, m_path,
                       "UPDATE records SET state = 'in-doubt', time = ?"
                       " WHERE run = ? AND state = 'sending'");
        mark.bind(1, nowMs()).bind(2, run).run();
        return doubtful;
    });
}

std::vector<RunRow> Journal::runs() const {
    Statement select(m_db, m_path, (QByteArray(kRunColumns) + "ORDER BY r.id DESC").constData());
    std::vector<RunRow> found;
    while (select.step())
        found.push_back(readRun(select));
    return found;
}

std::optional<RunRow> Journal::run(qint64 id) const {
    Statement select(m_db, m_path, (QByteArray(kRunColumns) + "WHERE r.id = ?").constData());
    select.bind(1, id);
    if (!select.step())
        return std::nullopt;
    return readRun(select);
}

std::vector<RecordRow> Journal::records(qint64 run) const {
    Statement select(m_db, m_path,
                     "SELECT record, quantity, state, reason, time FROM records WHERE run = ?"
                     " ORDER BY record");
    select.bind(1, run);
    std::vector<RecordRow> found;
    while (select.step())
        found.push_back({run, int(select.integer(0)), int(select.integer(1)),
                         stateFromName(select.text(2)).value_or(RecordState::InDoubt),
                         select.text(3), timeOf(select, 4)});
    return found;
}

QByteArray Journal::dataBytes(qint64 run) const {
    Statement select(m_db, m_path, "SELECT data_bytes FROM runs WHERE id = ?");
    select.bind(1, run);
    return select.step() ? select.blob(0) : QByteArray();
}

QByteArray Journal::formatBytes(qint64 run) const {
    Statement select(m_db, m_path, "SELECT format_bytes FROM runs WHERE id = ?");
    select.bind(1, run);
    return select.step() ? select.blob(0) : QByteArray();
}

std::optional<RunRow> Journal::unfinishedRun(const QString& dataFileName,
                                             const QByteArray& dataBytes) const {
    Statement select(m_db, m_path,
                     (QByteArray(kRunColumns) +
                      "WHERE r.data_name = ? AND r.data_sha256 = ? AND r.ended IS NULL"
                      " AND r.source <> 'reprint' ORDER BY r.id DESC LIMIT 1")
                         .constData());
    select.bind(1, dataFileName).bind(2, QString::fromLatin1(sha256Hex(dataBytes)));
    if (!select.step())
        return std::nullopt;
    return readRun(select);
}

int Journal::prune(int days) {
    const qint64 before = nowMs() - qint64(days) * 24 * 60 * 60 * 1000;
    const int removed = inTransaction(m_db, m_path, [&] {
        Statement remove(m_db, m_path, "DELETE FROM runs WHERE started < ?");
        remove.bind(1, before).run();
        return sqlite3_changes(m_db);
    });
    execute(m_db, m_path, "VACUUM");
    return removed;
}

} // namespace pelmar::journal
