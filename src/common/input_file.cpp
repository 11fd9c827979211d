#include "common/input_file.h"

#include "common/file_names.h"
#include "common/run_error.h"
#include "common/system_error_text.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace pelmar::common {

namespace {

// The error a read reports for a file that would not fit into the memory it may use.
constexpr int kOutOfMemory = 7;

QString kindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("資料夾");
    if (S_ISFIFO(mode))
        return QStringLiteral("FIFO 具名管道");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("裝置");
    if (S_ISSOCK(mode))
        return QStringLiteral("通訊端");
    return QStringLiteral("特殊檔案");
}

} // namespace

void checkInputFile(const QString& path, const QString& what, qint64 maxBytes) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        throw RunError(PathFileAccessError,
                       QStringLiteral("無法讀取%1 %2: %3").arg(what, path, systemErrorText(errno)));
    if (!S_ISREG(info.st_mode))
        throw RunError(PathFileAccessError, QStringLiteral("%1 %2 不是一般檔案 (是%3), 無法讀取.")
                                                .arg(what, path, kindOf(info.st_mode)));
    if (info.st_size > maxBytes)
        throw RunError(kOutOfMemory, QStringLiteral("%1 %2 太大 (%3 位元組), 最多只能有 %4 MB.")
                                         .arg(what, path)
                                         .arg(static_cast<qint64>(info.st_size))
                                         .arg(maxBytes / (1024 * 1024)));
}

QString existingInputFile(const QString& path, const QString& what, qint64 maxBytes) {
    const QString found = resolveFileName(path);
    // An empty name ("folder/") names no file, not the folder.
    if (found.isEmpty() || path.endsWith(u'/') || path.endsWith(u'\\'))
        throw RunError(FileNotFound, errorDescription(FileNotFound));
    checkInputFile(found, what, maxBytes);
    return found;
}

} // namespace pelmar::common
