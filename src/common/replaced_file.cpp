#include "common/replaced_file.h"

#include "common/byte_writer.h"
#include "common/file_writer.h"
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

// The file that writing path replaces: a symbolic link's target (created when it is missing).
QString replacedTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    return info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
}

// A new, empty file beside target (TARGET.XXXXXX), created with the permissions the system
// gives a new file; its path goes to temporary. -1 and errno when none could be made.
int createBeside(const QByteArray& target, QByteArray& temporary) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        temporary = target + '.';
        for (int i = 0; i < 6; ++i)
            temporary += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the new file the old one's owner and group (the group alone when the process may not
// give files away) and then its mode, which a change of owner may have cut. Best effort: a
// process that may set none of them leaves the file its own.
void takeOwnership(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    [[maybe_unused]] const int mode = ::fchmod(fd, old.st_mode & 07777);
}

// Flushes the folder of path, so that the rename survives a power cut. The reason when the
// disk reported a failure; file systems without the flush of a folder pass.
QString flushFolderOf(const QByteArray& path) {
    const QByteArray folder = QFileInfo(QString::fromLocal8Bit(path)).absolutePath().toLocal8Bit();
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {}; // a folder that may be written but not read
    QString reason;
    if (::fsync(fd) != 0 && errno != EINVAL)
        reason = systemErrorText(errno);
    ::close(fd);
    return reason;
}

} // namespace

ReplacedFile::ReplacedFile(QString path)
    : m_path(std::move(path)), m_target(replacedTarget(m_path).toLocal8Bit()) {
    struct stat old {};
    const bool replaces = ::stat(m_target.constData(), &old) == 0;
    if (replaces && !S_ISREG(old.st_mode))
        throw FileWriteError(m_path, QStringLiteral("不是一般檔案"));
    m_fd = createBeside(m_target, m_temporary);
    if (m_fd < 0)
        throw FileWriteError(m_path, systemErrorText(errno));
    if (replaces)
        takeOwnership(m_fd, old);
}

ReplacedFile::~ReplacedFile() {
    abandon();
}

QString ReplacedFile::write(QByteArrayView bytes) {
    if (m_fd < 0)
        return systemErrorText(EBADF);
    return writeAllOrReason(m_fd, bytes, timing::kWriteTimeout);
}

void ReplacedFile::commit(Durability durability) {
    if (m_fd < 0)
        throw FileWriteError(m_path, systemErrorText(EBADF));
    const int fd = m_fd;
    m_fd = -1;
    QString reason;
    if (durability == Durability::Disk && ::fsync(fd) != 0)
        reason = systemErrorText(errno);
    if (::close(fd) != 0 && reason.isEmpty() && errno != EINTR)
        reason = systemErrorText(errno);
    if (reason.isEmpty() && ::rename(m_temporary.constData(), m_target.constData()) != 0)
        reason = systemErrorText(errno);
    if (!reason.isEmpty()) {
        ::unlink(m_temporary.constData());
        m_temporary.clear();
        throw FileWriteError(m_path, reason);
    }
    m_temporary.clear();
    if (durability == Durability::Visible)
        return;
    if (const QString folderReason = flushFolderOf(m_target); !folderReason.isEmpty())
        throw FileWriteError(m_path, folderReason);
}

void ReplacedFile::abandon() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
    m_temporary.clear();
}

} // namespace pelmar::common
