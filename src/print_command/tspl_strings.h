#pragma once

#include "common/code_page.h"

#include <QByteArray>
#include <QString>

namespace pelmar::print_command {

// The most bytes the printer reads between the double quotes of a string parameter, and as the
// content of a symbol given by its length.
inline constexpr qsizetype kMaxStringBytes = 2048;

// Why text (in the printer's code page) cannot stand between the double quotes of a string
// parameter, in Traditional Chinese; empty when it can. A control byte other than TAB would end
// the command or start one of the printer's own (CR, LF, ESC), the printer stops reading after
// kMaxStringBytes (counted with each double quote written as \["]), and a trailing \[ would join
// the closing quote.
QString quotedRefusal(const QByteArray& text);

// A symbol's command line: the line to send, or why none can carry the content.
struct SymbolCommand {
    QString line;
    QString refusal;
};

// "PDF417 parameters,"content"" when the quotes can carry the content, else the content without
// quotes after the length option Lm, so any byte reaches the symbol.
SymbolCommand pdf417Command(const QString& parameters, const QString& content,
                            const common::CodePage& codePage);

// "DMATRIX parameters,"content"". With a c# option among the parameters the escape character it
// names is doubled in the content, so that data cannot make codes of its own. When the quotes
// cannot carry the content, its control bytes are written with that escape character, or with ~
// by c126 added after x,y,width,height (a ~ of the data then doubled).
SymbolCommand dataMatrixCommand(const QString& parameters, const QString& content,
                                const common::CodePage& codePage);

} // namespace pelmar::print_command
