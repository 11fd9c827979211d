#pragma once

#include "common/message_box.h"
#include "format/format_file.h"
#include "state/working_state.h"

namespace pelmar::format {

// Command-mode loader: reads the format file state.formatFileName of the program folder into
// state.format (label settings, printer settings, nine element tables). Resets the nine counts
// and the printer settings to their defaults first; the label settings keep earlier values.
// A failure is shown through messageBox and returned; the rows stored before it stay loaded.
// The format is then checked whole (FormatChecker): its errors fail the load, shown in one
// message, and its warnings come back in the result.
FormatLoadResult LoadFormat(state::WorkingState& state, common::MessageBox& messageBox);

// The same with text as the content of the format file state.formatFileName (a format being
// edited, saved or not); the file itself is not read.
FormatLoadResult LoadFormatText(state::WorkingState& state, const QByteArray& text,
                                common::MessageBox& messageBox);

} // namespace pelmar::format
