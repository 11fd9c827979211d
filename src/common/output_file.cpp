#include "common/output_file.h"

#include "common/file_writer.h"

namespace pelmar::common {

OutputFile::OutputFile(QString path) : m_path(std::move(path)) {}

OutputFile::~OutputFile() {
    OutputFile::close();
}

void OutputFile::create() {
    close();
    m_failure.clear();
    m_file.emplace(m_path);
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

void OutputFile::check() const {
    if (!m_failure.isEmpty())
        throw FileWriteError(m_path, m_failure);
}

void OutputFile::finish() {
    if (!m_failure.isEmpty())
        close();
    check();
    if (!m_file)
        return;
    QIODevice::close();
    try {
        m_file->commit();
    } catch (const FileWriteError& error) {
        m_failure = error.reason();
    }
    m_file.reset();
    check();
}

void OutputFile::close() {
    m_file.reset();
    if (isOpen())
        QIODevice::close();
}

qint64 OutputFile::writeData(const char* data, qint64 length) {
    if (!m_file || !m_failure.isEmpty())
        return -1;
    m_failure = m_file->write(QByteArrayView(data, length));
    if (!m_failure.isEmpty()) {
        m_file->abandon();
        setErrorString(m_failure);
        return -1;
    }
    return length;
}

} // namespace pelmar::common
