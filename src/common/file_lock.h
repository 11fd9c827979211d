#pragma once

#include "common/clock.h"

#include <QDateTime>
#include <QString>
#include <chrono>
#include <memory>

namespace pelmar::common {

// The run that holds a lock, as it wrote itself into the lock file.
struct LockHolder {
    qint64 pid = 0;  // 0: unknown (the file could not be read or was never written)
    QString program; // "pelmar", "pelmar-print"
    QDateTime since; // when it took the lock
};

// The holder of this process, taking a lock now.
LockHolder thisProcess(const QString& program);

// An advisory lock (flock) on a lock file, held until it is destroyed, which removes the file;
// the kernel releases it when the process dies, so a killed run never leaves a stale lock behind.
// Two opens of one file exclude each other, in one process as in two.
class FileLock {
public:
    // Takes the lock on `path`, waiting up to `limit` (zero: one try) with common::waitFor, and
    // writes `holder` into the file. A new file is made readable and writable by every user (a
    // root job and the shop's user share it). Returns nullptr when another holds it past the
    // limit or the wait was cancelled (`cancelled` is set then). Throws RunError(75) when the
    // file cannot be opened.
    static std::unique_ptr<FileLock> take(const QString& path, const LockHolder& holder,
                                          const WaitServices& wait, std::chrono::milliseconds limit,
                                          bool* cancelled = nullptr);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    const QString& path() const { return m_path; }

private:
    FileLock(QString path, int fd) : m_path(std::move(path)), m_fd(fd) {}
    QString m_path;
    int m_fd;
};

// The holder a lock file names; pid 0 when it names none. Never throws.
LockHolder readLockHolder(const QString& path);

// Whether the holder's process is still running (a holder just taking the lock may not have
// written itself yet: the file names the run before it). Never throws.
bool isRunning(const LockHolder& holder);

// "程序 1234 (pelmar-print), 自 2026-03-01 08:00:05 起", or "另一個程序" when unknown.
QString holderText(const LockHolder& holder);

// The folder every user of the machine shares for printer locks: /run/lock/pelmar, else
// /tmp/pelmar-locks, made with mode 1777 when missing. Throws RunError(75) when neither can be
// used.
QString sharedLockFolder();

// A lock file name for any text (a printer address): safe characters kept, the rest replaced,
// and a hash of the whole text so that two texts never share a name.
QString lockFileName(const QString& key);

} // namespace pelmar::common
