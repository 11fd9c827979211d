#pragma once

#include "common/message_box.h"
#include "format/format_file.h"
#include "state/working_state.h"

namespace pelmar::format {

// Driver-mode loader: reads the format file state.formatFileName of the program folder into
// state.format, taking only label width and height and the seven element kinds that drawing
// through the printer driver uses, with their driver-mode parameter lists. Resets only those
// seven counts. A failure is shown through messageBox and returned; earlier rows stay loaded.
// The format is then checked whole for driver mode, as LoadFormat checks it for command mode.
FormatLoadResult LoadFormat_Driver(state::WorkingState& state, common::MessageBox& messageBox);

// The same with text as the content of the format file state.formatFileName; the file itself is
// not read.
FormatLoadResult LoadFormatText_Driver(state::WorkingState& state, const QByteArray& text,
                                       common::MessageBox& messageBox);

} // namespace pelmar::format
