#pragma once

// What the files of the virtual printer share: a command line taken apart and the helpers that
// read it. Not for use outside src/preview.

#include "preview/tspl_interpreter.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

namespace pelmar::preview {

struct TsplInterpreter::Command {
    QByteArray name; // upper case
    QByteArray rest; // the text after the name
    std::vector<TsplArgument> args;
};

// The text without the blanks and tabs around it.
QByteArrayView trimmedView(QByteArrayView text);

// The command name at the start of a line: up to the first blank (or comma, for garbage).
QByteArray commandName(QByteArrayView line);

// A name fit for a warning: printable ASCII as it is, other bytes as \xNN, at most 24 bytes.
QString printable(const QByteArray& bytes);

// A rotation of 0, 90, 180 or 270 degrees as quarter turns; nothing for any other text.
std::optional<int> quarterTurns(QByteArrayView text);

} // namespace pelmar::preview
