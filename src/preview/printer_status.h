#pragma once

#include <QByteArray>

namespace pelmar::preview {

// What the virtual printer reports about itself.
struct PrinterCondition {
    bool headOpen = false;
    bool paperOut = false;
    bool paused = false;
    bool printing = false;   // labels are waiting to be printed or being printed
    bool bufferFull = false; // the printer has stopped reading
};

// The answer to <ESC>!?: one byte, 0 when ready, with the bits of common::status_bit.
char statusByte(const PrinterCondition& condition);

// The answer to <ESC>!S: STX, four status bytes, ETX, CR, LF. Each status byte is '@' (0x40)
// when normal.
//   byte 1 (message): 'P' 0x50 printing, '`' 0x60 paused, 'E' 0x45 printer error (head open or
//                     out of paper); an error wins over pause, pause over printing.
//   byte 2 (warning): 'H' 0x48 receive buffer full.
//   byte 3 (error):   always '@' (no overheating, cutter or memory errors are simulated).
//   byte 4 (error):   'A' 0x41 paper empty; '`' 0x60 head open (unconfirmed against the
//                     maker's manual; the other values are as the maker documents them).
QByteArray extendedStatus(const PrinterCondition& condition);

// The answer to ~!T: the model name, ended by CR LF.
QByteArray modelName(int dpi);

} // namespace pelmar::preview
