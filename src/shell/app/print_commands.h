#pragma once

#include "shell/app/app_context.h"

#include <QString>

namespace pelmar::app {

inline const QString kNoFormatSelectedMessage = QStringLiteral("標籤格式尚未選取, 無法列印.");
inline const QString kPrintCaption = QStringLiteral("開始列印");
inline const QString kPrintErrorCaption = QStringLiteral("cmdPrint->發生非預期錯誤");

// The print button of the print panel: prints every record with the format selected in
// listSelectLabel, writes the run settings and ends the program (settings that cannot be written
// are said with what was printed). With nothing selected it says so and stays; a cancelled
// printer dialog restores the panel (window maximized, print enabled, cancel disabled). Other
// errors are reported here ("cmdPrint->發生非預期錯誤") and end the program unless the command
// line is exactly "/T". Nothing throws.
FlowResult cmdPrint_Click(AppContext& context);

// The cancel-printing button: asks the running print to stop at its next cancel point.
void cmdDelete_Click(state::WorkingState& state);

} // namespace pelmar::app
