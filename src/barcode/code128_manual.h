#pragma once

#include "barcode/symbol.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace pelmar::barcode {

// "128M" is Code 128 whose data chooses its own subsets: !nnn (three digits, 000..106) is the
// symbol value nnn, so !103/!104/!105 as the first escape start in subset A/B/C, !099 CODE C,
// !100 CODE B, !101 CODE A, !102 FNC1, !096 FNC3, !097 FNC2, !098 SHIFT. Without a start code
// the symbol starts in subset B. A "!" not followed by three digits is an ordinary character.

// The symbol values: the start value first, then the data values; check value and stop are not
// included. Empty, with *error set, for a character the current subset cannot encode.
std::vector<int> code128ManualValues(const QByteArray& data, QString* error);

// Bar and space widths in modules (bar first) of a Code 128 symbol value 0..106; "" otherwise.
const char* code128Pattern(int value);

// The whole symbol (start, data, check value, stop) as one row of modules; its text is what a
// reader shows: the characters the values stand for, without functions and control characters.
Symbol code128ManualSymbol(const QByteArray& data);

// Data that reads as itself in subset B: every "!" becomes !001, its own value there, so the data
// cannot choose subsets or functions.
QString escapeCode128Data(const QString& data);

} // namespace pelmar::barcode
