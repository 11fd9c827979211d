#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace pelmar::journal {

// Throws the journal's RunError(57): what went wrong, the journal's path and SQLite's own words.
[[noreturn]] void failJournal(const QString& path, const QString& what, sqlite3* db);

// One prepared SQLite statement; binds from 1 and reads columns from 0. Every failure throws
// the journal's RunError.
class Statement {
public:
    // Prepares sql on db. Throws RunError.
    Statement(sqlite3* db, const QString& path, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, qint64 value);
    Statement& bind(int index, const QString& text);
    Statement& bindBlob(int index, const QByteArray& bytes);
    Statement& bindNull(int index);
    // Steps once; true while a row is there to read. Throws RunError.
    bool step();
    // Steps through to the end. Throws RunError.
    void run();

    qint64 integer(int column) const;
    QString text(int column) const;
    QByteArray blob(int column) const;
    bool isNull(int column) const;

private:
    sqlite3* m_db;
    const QString& m_path;
    sqlite3_stmt* m_statement = nullptr;
};

// Runs sql (statements without results) on db. Throws RunError.
void execute(sqlite3* db, const QString& path, const char* sql);

} // namespace pelmar::journal
