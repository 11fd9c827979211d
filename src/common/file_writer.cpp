#include "common/file_writer.h"

#include "common/byte_writer.h"
#include "common/system_error_text.h"
#include "common/timing.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmar::common {

namespace {

constexpr int kTemporaryNameTries = 100;

// A new, empty file beside target (TARGET.XXXXXX), created with the permissions the system
// gives a new file; its path goes to temporary. -1 and errno when none could be made.
int createBeside(const QString& target, QByteArray& temporary) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        temporary = target.toLocal8Bit() + '.';
        for (int i = 0; i < 6; ++i)
            temporary += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Writes, flushes to the disk and closes fd; the reason when any of it failed.
QString writeAndClose(int fd, QByteArrayView bytes) {
    QString reason = writeAllOrReason(fd, bytes, timing::kWriteTimeout);
    if (reason.isEmpty() && ::fsync(fd) != 0)
        reason = systemErrorText(errno);
    if (::close(fd) != 0 && reason.isEmpty() && errno != EINTR)
        reason = systemErrorText(errno);
    return reason;
}

} // namespace

FileWriteError::FileWriteError(QString path, QString reason)
    : RunError(PathFileAccessError, errorDescription(PathFileAccessError) +
                                        QStringLiteral(": %1 (%2)").arg(path, reason)),
      m_path(std::move(path)), m_reason(std::move(reason)) {}

void saveFile(const QString& path, QByteArrayView bytes) {
    const QFileInfo info(path);
    // A link to nowhere yet: its target is created.
    const QString target = !info.isSymLink() ? path
                           : info.exists()   ? info.canonicalFilePath()
                                             : info.symLinkTarget();
    QByteArray temporary;
    const int fd = createBeside(target, temporary);
    if (fd < 0)
        throw FileWriteError(path, systemErrorText(errno));
    struct stat old {};
    if (::stat(target.toLocal8Bit().constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);
    QString reason = writeAndClose(fd, bytes);
    if (reason.isEmpty() && ::rename(temporary.constData(), target.toLocal8Bit().constData()) != 0)
        reason = systemErrorText(errno);
    if (!reason.isEmpty()) {
        ::unlink(temporary.constData());
        throw FileWriteError(path, reason);
    }
}

void appendToFile(const QString& path, QByteArrayView bytes) {
    const int fd =
        ::open(path.toLocal8Bit().constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        throw FileWriteError(path, systemErrorText(errno));
    QString reason = writeAllOrReason(fd, bytes, timing::kWriteTimeout);
    if (::close(fd) != 0 && reason.isEmpty() && errno != EINTR)
        reason = systemErrorText(errno);
    if (!reason.isEmpty())
        throw FileWriteError(path, reason);
}

} // namespace pelmar::common
