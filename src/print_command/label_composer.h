#pragma once

#include "print_command/printer_library.h"
#include "state/working_state.h"

#include <QDate>

namespace pelmar::print_command {

// Sends every picture of the loaded format (Graphic rows) to the printer's memory under its name
// in upper case, found in the program folder. Throws RunError when the port fails.
void DownloadGraphics(const state::WorkingState& state, PrinterLibrary& library);

// Sends everything for one label of record r, up to but not including printlabel: set-up,
// direction, stripe and cutter commands, CLS, then boxes, bars, barcodes, PDF417, Data Matrix,
// fixed and variable texts and pictures. With forRun it stops at the cancel points when
// cancelRequested is set and a variable "128M" barcode gets the start code "!104"; today is the
// date of "Date=" texts. Returns true when it stopped early. Field data encodes itself: a "!" of
// "128M" data goes as !001. A PDF417 or Data Matrix content that quotes cannot carry goes by the
// symbol's length option or escape character. Throws, before anything of the label is sent,
// LabelRefused naming the element for a content no command can carry, variable barcode data or
// a symbol content the symbology cannot encode, or a price to adjust that is no number, and
// RunError(5) for a field number below 0; RunError(13) or RunError(6) for a text parameter that
// is not a 16-bit number, RunError(6) for a price overflow, and the port's RunError.
bool ComposeLabel(const state::WorkingState& state, PrinterLibrary& library, int record,
                  bool forRun, const QDate& today);

// The same for a given command-mode format and label settings; the records, the code page and
// the cancel request come from state.
bool ComposeLabel(const state::WorkingState& state, const state::LabelSettings& label,
                  const state::CommandFormat& format, PrinterLibrary& library, int record,
                  bool forRun, const QDate& today);

} // namespace pelmar::print_command
