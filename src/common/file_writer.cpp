#include "common/file_writer.h"

#include "common/byte_writer.h"
#include "common/replaced_file.h"
#include "common/system_error_text.h"
#include "common/timing.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace pelmar::common {

FileWriteError::FileWriteError(QString path, QString reason)
    : RunError(PathFileAccessError, errorDescription(PathFileAccessError) +
                                        QStringLiteral(": %1 (%2)").arg(path, reason)),
      m_path(std::move(path)), m_reason(std::move(reason)) {}

void saveFile(const QString& path, QByteArrayView bytes, Durability durability) {
    ReplacedFile file(path);
    if (const QString reason = file.write(bytes); !reason.isEmpty())
        throw FileWriteError(path, reason);
    file.commit(durability);
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
