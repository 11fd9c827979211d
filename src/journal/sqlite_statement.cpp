#include "journal/sqlite_statement.h"

#include "common/run_error.h"

#include <sqlite3.h>

namespace pelmar::journal {

void failJournal(const QString& path, const QString& what, sqlite3* db) {
    const QString detail = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    throw common::RunError(common::DeviceIoError,
                           QStringLiteral("列印記錄簿 %1 %2: %3").arg(path, what, detail));
}

Statement::Statement(sqlite3* db, const QString& path, const char* sql) : m_db(db), m_path(path) {
    if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
        failJournal(path, QStringLiteral("無法讀寫"), db);
}

Statement::~Statement() {
    sqlite3_finalize(m_statement);
}

Statement& Statement::bind(int index, qint64 value) {
    sqlite3_bind_int64(m_statement, index, value);
    return *this;
}

Statement& Statement::bind(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindBlob(int index, const QByteArray& bytes) {
    // An empty file is a zero-length blob, not NULL.
    sqlite3_bind_blob(m_statement, index, bytes.isEmpty() ? "" : bytes.constData(),
                      int(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindNull(int index) {
    sqlite3_bind_null(m_statement, index);
    return *this;
}

bool Statement::step() {
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result != SQLITE_DONE)
        failJournal(m_path, QStringLiteral("無法寫入"), m_db);
    return false;
}

void Statement::run() {
    while (step()) {
    }
}

qint64 Statement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

QString Statement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column));
}

QByteArray Statement::blob(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
    return QByteArray(bytes, sqlite3_column_bytes(m_statement, column));
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

void execute(sqlite3* db, const QString& path, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        failJournal(path, QStringLiteral("無法寫入"), db);
    }
}

} // namespace pelmar::journal
