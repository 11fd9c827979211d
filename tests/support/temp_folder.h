#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace pelmar::test {

// A temporary program folder that removes itself; files are written as raw bytes.
class TempFolder {
public:
    TempFolder() { m_dir.setAutoRemove(true); }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.path() + u'/' + name; }
    // Writes bytes to name (relative to the folder) and returns the full path.
    QString write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

// Bytes of a text in Big5 (CP950).
QByteArray big5(const QString& text);

} // namespace pelmar::test
