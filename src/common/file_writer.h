#pragma once

#include "common/replaced_file.h"
#include "common/run_error.h"

#include <QByteArrayView>
#include <QString>

namespace pelmar::common {

// A file that could not be written: RunError(75) "路徑/檔案存取錯誤: PATH (REASON)". A caller that
// words the failure as its own takes path() and reason().
class FileWriteError : public RunError {
public:
    FileWriteError(QString path, QString reason);

    const QString& path() const { return m_path; }
    // The system's reason in Traditional Chinese.
    const QString& reason() const { return m_reason; }

private:
    QString m_path;
    QString m_reason;
};

// Replaces the file at path by bytes (see ReplacedFile): a failure leaves the old file as it was.
// A symbolic link's target is replaced; a file that existed keeps its owner, group and
// permissions where the process may set them. Throws FileWriteError, also when path exists and
// is not a regular file.
void saveFile(const QString& path, QByteArrayView bytes, Durability durability = Durability::Disk);

// Appends bytes to the file at path, created when missing; the bytes are handed to the system,
// not flushed to the disk. Throws FileWriteError.
void appendToFile(const QString& path, QByteArrayView bytes);

} // namespace pelmar::common
