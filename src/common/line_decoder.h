#pragma once

#include "common/code_page.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace pelmar::common {

// Whether bytes begin with the UTF-8 byte-order mark EF BB BF.
bool startsWithByteOrderMark(QByteArrayView bytes);

// Whether the file at path holds valid UTF-8 throughout (false for a file that cannot be read,
// or one too large to check). Never throws.
bool fileIsUtf8(const QString& path);

// Turns the lines of one file (settings, data or format) into text, refusing bytes that the
// code page cannot read instead of guessing at them: a wrong guess prints a wrong label. The
// messages name the line, the byte and the code page, and the setting CodePage=UTF-8 when the
// file is UTF-8 but read in another code page.
class LineDecoder {
public:
    // path: the file the lines come from. place: the start of every message (for example
    // "設定檔 /shop/Pelmar.INI "), empty when the caller's message names the file.
    LineDecoder(const CodePage& codePage, QString path, QString place = {});

    const CodePage& codePage() const { return m_codePage; }

    // Takes a UTF-8 byte-order mark off the start of the file's first line: in UTF-8 the mark is
    // not data; in another code page it would become characters, so the line is refused. Throws
    // RunError(5).
    void takeByteOrderMark(QByteArray& firstLine) const;

    // The text of line `number` (counted from 1). Throws RunError(5) naming the line and the
    // first byte that is not valid in the code page.
    QString decode(QByteArrayView bytes, int number) const;

    // Throws RunError(5) for the byte at offset (from 0) of line `number`, which begins no
    // valid character.
    [[noreturn]] void refuseByte(int number, qsizetype offset) const;

    // What ends a message about the file's bytes: the hint to set CodePage=UTF-8 when the file
    // is UTF-8 and the code page is not; otherwise empty.
    QString utf8Hint() const;

private:
    const CodePage& m_codePage;
    QString m_path;
    QString m_place;
};

} // namespace pelmar::common
