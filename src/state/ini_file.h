#pragma once

#include "common/code_page.h"

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace pelmar::state {

// What a profile read copies into a caller's buffer: the buffer itself (bufferSize bytes: the
// value, a zero byte, zeros after it) and the number of value bytes, the zero not counted.
struct ProfileValue {
    QByteArray buffer;
    int count = 0;

    // The bytes up to the first zero byte of the buffer.
    QByteArray text() const;
    // The first count bytes of the buffer.
    QByteArray firstBytes() const { return buffer.left(count); }
};

// One key=value line of a section, both trimmed, value without enclosing quotes.
using ProfileEntry = std::pair<QByteArray, QByteArray>;

// An INI file as private-profile functions see it, held as the bytes of the file in the given
// code page. Lines end with CR LF, LF or CR. Section and key names match ignoring ASCII letter
// case; the first section and the first key of a name win; blanks (spaces, tabs) around names
// and values are dropped, and a value enclosed in a pair of equal quotes (' or ") loses them.
// Lines starting with ";" are comments. In UTF-8 a byte-order mark at the start of the file is
// not part of the first line, and a file that had one keeps it when written.
class IniFile {
public:
    // Reads the file at path; a missing file reads as an empty one. Throws RunError(75) when the
    // file exists but is not a regular file or cannot be read, and RunError(7) when it is larger
    // than kMaxSettingsFileBytes.
    IniFile(QString path, common::CodePage codePage);

    // Refuses a file holding bytes that its code page cannot read (or a UTF-8 byte-order mark in
    // another code page): throws RunError(5) naming the file, the line and the byte.
    void checkDecodes() const;

    const QString& path() const { return m_path; }
    const QByteArray& bytes() const { return m_bytes; }

    // Reads one value like GetPrivateProfileStringA: the default for a missing section or key,
    // an empty value for a key present without one; cut to bufferSize - 1 bytes, never inside a
    // character of the code page.
    ProfileValue readString(const QByteArray& section, const QByteArray& key,
                            const QByteArray& defaultValue, int bufferSize) const;

    // Every key=value line of the first section of that name, in file order (names not unique).
    std::vector<ProfileEntry> readSection(const QByteArray& section) const;

    // Sets a value in the held bytes and writes the file: the key's line is replaced in place,
    // a missing key or section is added (with the file's line end), every other byte stays.
    // Throws RunError(5) for a name or value that cannot be stored on one line and
    // RunError(75) when the file cannot be written (the old file then stays as it was).
    void writeString(const QByteArray& section, const QByteArray& key, const QByteArray& value);

    // writeString without writing the file; save() writes them all at once.
    void setString(const QByteArray& section, const QByteArray& key, const QByteArray& value);

    // Writes the held bytes to a temporary file beside the file and renames it over the file.
    // Throws RunError(75) naming the file when that fails; the old file is then untouched.
    void save() const;

private:
    QString m_path;
    common::CodePage m_codePage;
    QByteArray m_bytes;
    bool m_byteOrderMark = false;
};

} // namespace pelmar::state
