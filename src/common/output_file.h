#pragma once

#include <QIODevice>
#include <QString>

namespace pelmar::common {

// A file written from its start while its contents come (a PDF, page by page), as a device Qt's
// writers write to. A write that fails is remembered (errorString() is its reason); check() and
// finish() throw it. A file destroyed or closed unfinished is closed unchecked.
class OutputFile : public QIODevice {
public:
    explicit OutputFile(QString path);
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the file, or empties the one there, and opens it for writing. Throws
    // FileWriteError.
    void create();
    // Throws the FileWriteError of the first write that failed; nothing when none has.
    void check() const;
    // Flushes the file to the disk and closes it. Throws FileWriteError.
    void finish();

    bool isSequential() const override { return true; }
    void close() override;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override;

private:
    QString m_path;
    int m_fd = -1;
    QString m_failure;
};

} // namespace pelmar::common
