#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>
#include <vector>

namespace pelmar::preview {

// One parameter of a command line: its bytes without the blanks around it; a quoted parameter
// without its quotes and with each \["] turned into a double quote.
struct TsplArgument {
    QByteArray text;
    bool quoted = false;
};

// The parameters of a command line (the text after the command name), split at commas outside
// quotes. Sets *unterminated when a quote is left open (the last parameter then runs to the
// end).
std::vector<TsplArgument> splitArguments(QByteArrayView parameters, bool* unterminated = nullptr);

// A decimal number (optional sign, digits, optional fraction) filling the whole text, blanks
// around it allowed; nothing for anything else.
std::optional<double> parseNumber(QByteArrayView text);

// A whole number of dots (rounded) within -1,000,000 .. 1,000,000; nothing when the text is not
// a number or lies outside.
std::optional<int> parseDots(QByteArrayView text);

// A length of SIZE, GAP, BLINE or OFFSET in dots: "50 mm", "2" (inches) or "400 dot"; dpi 203
// counts 8 dots per mm, 300 counts 12. Nothing when the text is not such a length or lies
// outside -1,000,000 .. 1,000,000 dots.
std::optional<int> parseLength(QByteArrayView text, int dpi);

// The content of a DMATRIX whose c# option names escape: escape with @, A to Z, [, \, ], ^ or _
// is the control code 0 to 31, escape d with three digits the byte 000 to 255, two escapes one
// escape. Any other use of escape (FNC1 among them) stays as it stands and sets *malformed.
QByteArray decodeEscapes(QByteArrayView content, char escape, bool* malformed = nullptr);

} // namespace pelmar::preview
