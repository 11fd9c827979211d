#pragma once

#include "common/replaced_file.h"

#include <QIODevice>
#include <QString>
#include <optional>

namespace pelmar::common {

// A file written from its start while its contents come (a PDF, page by page), as a device Qt's
// writers write to. The contents replace the file only when finish() succeeds (see
// ReplacedFile); until then, after any failure and when destroyed or closed unfinished, the old
// file stays as it was and nothing of the new one is left. A write that fails is remembered
// (errorString() is its reason); check() and finish() throw it.
class OutputFile : public QIODevice {
public:
    explicit OutputFile(QString path);
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens the new contents for writing. Throws FileWriteError (the path is not a regular
    // file, or its folder refuses a new file).
    void create();
    // Throws the FileWriteError of the first write that failed; nothing when none has.
    void check() const;
    // Flushes the new contents to the disk and puts them in the old file's place. Throws
    // FileWriteError.
    void finish();

    bool isSequential() const override { return true; }
    void close() override;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override;

private:
    QString m_path;
    std::optional<ReplacedFile> m_file;
    QString m_failure;
};

} // namespace pelmar::common
