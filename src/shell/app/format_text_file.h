#pragma once

#include "common/code_page.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace pelmar::app {

// A format file's text as the editor holds it: lines joined by "\n", with what the file used
// between its lines and at its start, so that saving an unchanged text writes the same bytes.
struct FormatText {
    QString text;
    QByteArray lineEnd = QByteArrayLiteral("\r\n"); // "\r\n" or "\n", the file's first one
    bool byteOrderMark = false;                     // a UTF-8 file that began with EF BB BF
};

// Reads the format file at path strictly in codePage. Throws RunError(53) for a missing file,
// RunError(75) for one that cannot be read and RunError(5) naming the line and byte that the
// code page cannot read.
FormatText readFormatText(const QString& path, const common::CodePage& codePage);

// A character of a text that the code page lacks, and its line (counted from 1).
struct LackingCharacter {
    QString character;
    int line = 0;
};

// The first character of text that codePage cannot write (it would become "?"), if any.
std::optional<LackingCharacter> firstLackingCharacter(const QString& text,
                                                      const common::CodePage& codePage);

// The bytes of a format text in codePage, with the file's line ends. Characters the code page
// lacks become "?" (the caller checks them first when that matters).
QByteArray formatBytes(const FormatText& format, const common::CodePage& codePage);

// Writes format to path through a temporary file beside it that is renamed over it, so an
// interrupted save leaves the old file whole. Throws RunError(5) naming a character the code page
// lacks and its line (nothing written), RunError(75) when the file cannot be written.
void saveFormatText(const QString& path, const FormatText& format,
                    const common::CodePage& codePage);

} // namespace pelmar::app
