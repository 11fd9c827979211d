#pragma once

#include "common/run_tally.h"
#include "shell/app/app_context.h"

#include <QString>

namespace pelmar::app {

// Caption of the message that lists what a run left out and what its output warned about.
inline const QString kRunReportCaption = QStringLiteral("列印結果");

// Labels and records of a run: "39 張標籤, 24 筆資料".
QString tallyText(const common::RunTally& tally);

// The status line lblMsg at the end of a run (Printed, Cancelled, DataError or PrintError): how
// the run ended ("已送出" rather than "列印完成" when the printer could not confirm the labels
// printed), with its labels, records, the records left out and those in doubt.
QString endOfRunStatus(const FlowResult& result);

// The text of the message after a run: the records in doubt, every record left out (number,
// element, reason) and every warning of the output, lines joined by carriage returns. Empty when
// there is none of them.
QString leftOutText(const common::RunTally& tally);

// Tells the end of a run: the status line, then (when records were left out or the output
// warned) one message listing them.
void reportRun(AppContext& context, const FlowResult& result);

// Writes the run settings after a run. A failure undoes nothing that was printed: it is said
// (caption as given, critical icon) together with what was printed, and the result is marked
// settingsNotSaved. Nothing throws.
void saveRunSettingsAfterRun(AppContext& context, FlowResult& result, const QString& caption);

} // namespace pelmar::app
