#include "shell/app/watch_folder.h"

#include "common/file_writer.h"
#include "common/replaced_file.h"
#include "common/run_error.h"
#include "common/system_error_text.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmar::app {

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

bool exists(const QString& path) {
    struct stat seen {};
    return ::lstat(native(path).constData(), &seen) == 0;
}

common::RunError folderError(const QString& what, const QString& path, int errnum) {
    return common::RunError(
        common::PathFileAccessError,
        QStringLiteral("%1 %2: %3").arg(what, path, common::systemErrorText(errnum)));
}

// Flushes a folder so that a rename in it survives a power cut; file systems that cannot flush
// a folder pass.
void flushFolder(const QString& folder) {
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw folderError(QStringLiteral("無法開啟資料夾"), folder, errno);
    const int flushed = ::fsync(fd);
    const int errnum = errno;
    ::close(fd);
    if (flushed != 0 && errnum != EINVAL)
        throw folderError(QStringLiteral("無法寫入資料夾"), folder, errnum);
}

// Renames without replacing a file that appeared meanwhile; file systems without that guarantee
// (some network shares) rename plainly, after the free name was checked.
int renameWithoutReplacing(const QString& from, const QString& to) {
    const QByteArray source = native(from);
    const QByteArray target = native(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
}

// Moves a file into folder/into under a free name (and, with a reason, no reason file of that
// name either); the new path. EEXIST from a name taken meanwhile tries the next one.
QString moveInto(const QString& from, const QString& folder, const QString& into,
                 const QString& name, bool withReason) {
    const QString target = folder + u'/' + into;
    for (;;) {
        const QString free = freeName(name, [&](const QString& candidate) {
            return exists(target + u'/' + candidate) ||
                   (withReason && exists(target + u'/' + candidate + kReasonSuffix));
        });
        const QString path = target + u'/' + free;
        const int failed = renameWithoutReplacing(from, path);
        if (failed == 0)
            return path;
        if (failed != EEXIST)
            throw common::RunError(failed == ENOENT ? common::FileNotFound
                                                    : common::PathFileAccessError,
                                   QStringLiteral("無法將 %1 移到 %2: %3")
                                       .arg(from, target, common::systemErrorText(failed)));
    }
}

} // namespace

FolderScan scanFolder(const QString& folder) {
    FolderScan scan;
    const QByteArray path = native(folder);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.constData()), ::closedir);
    if (!dir) {
        scan.error = common::systemErrorText(errno);
        return scan;
    }
    const int fd = ::dirfd(dir.get());
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        struct stat seen {};
        if (::fstatat(fd, entry->d_name, &seen, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(seen.st_mode)) {
            errno = 0;
            continue; // gone since it was listed, or no regular file
        }
        scan.files.push_back({QFile::decodeName(entry->d_name), seen.st_size,
                              seen.st_mtim.tv_sec * 1'000'000'000LL + seen.st_mtim.tv_nsec});
        errno = 0;
    }
    if (errno != 0) {
        // A listing cut short (a share dropped) is no listing.
        scan.error = common::systemErrorText(errno);
        scan.files.clear();
        return scan;
    }
    scan.read = true;
    return scan;
}

QString freeName(const QString& name, const std::function<bool(const QString&)>& taken) {
    if (!taken(name))
        return name;
    // The number goes before the extension, so the file keeps its kind.
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(extension);
        if (!taken(candidate))
            return candidate;
    }
}

void makeWatchFolders(const QString& folder) {
    for (const char* sub : {kWorkFolder, kDoneFolder, kErrorFolder}) {
        const QString path = folder + u'/' + QLatin1String(sub);
        if (::mkdir(native(path).constData(), 0777) != 0 && errno != EEXIST)
            throw folderError(QStringLiteral("無法建立資料夾"), path, errno);
        if (!QFileInfo(path).isDir())
            throw folderError(QStringLiteral("無法建立資料夾"), path, ENOTDIR);
    }
}

QString claimFile(const QString& folder, const QString& name) {
    QString claimed;
    try {
        claimed = moveInto(folder + u'/' + name, folder, QLatin1String(kWorkFolder), name, false);
    } catch (const common::RunError& error) {
        if (error.number() == common::FileNotFound)
            return {};
        throw;
    }
    flushFolder(folder);
    flushFolder(folder + u'/' + QLatin1String(kWorkFolder));
    return claimed;
}

QString fileAway(const QString& folder, const QString& workPath, bool printed,
                 const QString& reason) {
    const QString into = QLatin1String(printed ? kDoneFolder : kErrorFolder);
    const QString name = QFileInfo(workPath).fileName();
    QString path;
    if (reason.isEmpty()) {
        path = moveInto(workPath, folder, into, name, false);
    } else {
        // The reason first: a file in error/, or in done/ with records in doubt, always has its
        // reason beside it.
        const QString target = folder + u'/' + into;
        // A reason file without its file is what a crash between the two steps left: its
        // file's name is free and the reason is written anew.
        const QString free = freeName(
            name, [&](const QString& candidate) { return exists(target + u'/' + candidate); });
        common::ReplacedFile reasonFile(target + u'/' + free + kReasonSuffix);
        if (const QString failed = reasonFile.write(reason.toUtf8()); !failed.isEmpty())
            throw common::FileWriteError(reasonFile.path(), failed);
        reasonFile.commit();
        path = moveInto(workPath, folder, into, free, false);
    }
    flushFolder(folder + u'/' + into);
    flushFolder(folder + u'/' + QLatin1String(kWorkFolder));
    return path;
}

} // namespace pelmar::app
