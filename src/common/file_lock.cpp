#include "common/file_lock.h"

#include "common/run_error.h"
#include "common/system_error_text.h"
#include "common/wait.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmar::common {

namespace {

constexpr int kLongestHolderFile = 1024;

RunError lockFailure(const QString& path, int errnum) {
    return RunError(PathFileAccessError,
                    QStringLiteral("無法開啟鎖定檔 %1: %2").arg(path, systemErrorText(errnum)));
}

// Opens the lock file without following a link. An existing file is opened without O_CREAT:
// the kernel refuses O_CREAT on another user's file in a shared sticky folder.
int openLockFile(const QByteArray& name) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        int fd = ::open(name.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && errno == EACCES)
            fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // Past the umask: a root job and the shop's user both write their name into it.
            ::fchmod(fd, 0666);
            return fd;
        }
        if (errno != EEXIST)
            return fd;
    }
    return -1;
}

// Locks the file now at `name`. A holder removes its file as it lets go, so a lock won on a file
// already removed is tried again on the one that took its place.
bool lockCurrentFile(int& fd, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            return false;
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) == 0 && ::lstat(name.constData(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino)
            return true;
        ::close(fd);
        fd = openLockFile(name);
        if (fd < 0)
            throw lockFailure(path, errno);
    }
    return false;
}

void writeHolder(int fd, const LockHolder& holder) {
    const QByteArray text = QStringLiteral("%1\n%2\n%3\n")
                                .arg(holder.pid)
                                .arg(holder.program, holder.since.toString(Qt::ISODate))
                                .toUtf8();
    // Written over the old text, then cut to length: a reader never finds the file empty. A
    // read-only file (another user's, not shared) still locks; it names no holder then.
    if (::pwrite(fd, text.constData(), size_t(text.size()), 0) == text.size())
        (void)!::ftruncate(fd, text.size());
}

// A usable shared folder: a real directory this process may create files in.
bool usableFolder(const QByteArray& name) {
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0) {
        if (::mkdir(name.constData(), 0777) != 0 && errno != EEXIST)
            return false;
        // Past the umask, sticky as /tmp: every user adds files, none removes another's.
        ::chmod(name.constData(), 01777);
        if (::lstat(name.constData(), &info) != 0)
            return false;
    }
    return S_ISDIR(info.st_mode) && ::access(name.constData(), W_OK | X_OK) == 0;
}

} // namespace

LockHolder thisProcess(const QString& program) {
    return {qint64(::getpid()), program, QDateTime::currentDateTime()};
}

std::unique_ptr<FileLock> FileLock::take(const QString& path, const LockHolder& holder,
                                         const WaitServices& wait, std::chrono::milliseconds limit,
                                         bool* cancelled) {
    if (cancelled != nullptr)
        *cancelled = false;
    int fd = openLockFile(QFile::encodeName(path));
    if (fd < 0)
        throw lockFailure(path, errno);
    const auto locked = [&fd, &path] { return lockCurrentFile(fd, path); };
    bool taken = locked();
    if (!taken && limit.count() > 0) {
        const WaitEnd end = waitFor(wait, limit, locked);
        taken = end == WaitEnd::Met;
        if (cancelled != nullptr)
            *cancelled = end == WaitEnd::Cancelled;
    }
    if (!taken) {
        ::close(fd);
        return nullptr;
    }
    writeHolder(fd, holder);
    return std::unique_ptr<FileLock>(new FileLock(path, fd));
}

FileLock::~FileLock() {
    // Removed while still held, so no lock file stays behind (where the folder lets this process
    // remove it); closing the only descriptor releases the lock.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
}

LockHolder readLockHolder(const QString& path) {
    LockHolder holder;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return holder;
    const QStringList lines = QString::fromUtf8(file.read(kLongestHolderFile)).split(u'\n');
    if (lines.size() < 3)
        return holder;
    holder.pid = lines.at(0).toLongLong();
    holder.program = lines.at(1);
    holder.since = QDateTime::fromString(lines.at(2), Qt::ISODate);
    return holder;
}

bool isRunning(const LockHolder& holder) {
    return holder.pid > 0 && (::kill(pid_t(holder.pid), 0) == 0 || errno == EPERM);
}

QString holderText(const LockHolder& holder) {
    if (holder.pid <= 0)
        return QStringLiteral("另一個程序");
    QString text = QStringLiteral("程序 %1").arg(holder.pid);
    if (!holder.program.isEmpty())
        text += QStringLiteral(" (%1)").arg(holder.program);
    if (holder.since.isValid())
        text += QStringLiteral(", 自 %1 起")
                    .arg(holder.since.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    return text;
}

QString sharedLockFolder() {
    for (const char* folder : {"/run/lock/pelmar", "/tmp/pelmar-locks"}) {
        if (usableFolder(folder))
            return QString::fromLatin1(folder);
    }
    throw RunError(
        PathFileAccessError,
        QStringLiteral("無法使用印表機鎖定資料夾 /run/lock/pelmar 或 /tmp/pelmar-locks"));
}

QString lockFileName(const QString& key) {
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]+"));
    QString readable = key.left(60);
    readable.replace(unsafe, QStringLiteral("_"));
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return readable + u'-' + QString::fromLatin1(hash) + QStringLiteral(".lock");
}

} // namespace pelmar::common
