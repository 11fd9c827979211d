#pragma once

#include "print_command/run_context.h"
#include "print_command/run_result.h"

namespace pelmar::print_command {

// Prints every record with the loaded format in "Send Command" mode through printRecords: one
// label per record asking for ceil(quantity / Across) sets (labels: sets x Across), paced by a wait
// of the estimated printing time plus 3 s on a physical printer, or, on a printer that answers
// status (and StatusPacing on), until the printer has printed the record, its faults shown as they
// come (see waitForPrinter); stops when cancelRequested is set. Only the records from
// context.firstRecord to context.lastRecord are printed; a first or last record beyond the data
// file fails as a data failure. Nothing at all happens
// when there are no records. A failure is shown in a message box ("PrintLabels -> 發生錯誤"; a
// printer failure after labels were sent adds the number of the last record that reached the port),
// the port is closed and the records after it are not printed; never throws. A record whose label
// ComposeLabel refuses (LabelRefused: data no command can carry or its symbology cannot encode, a
// price that is no number) is left out. The tally's warnings are the library's, read once the port
// is closed.
RunResult PrintLabels(RunContext& context);

// The seconds the run waits after a record: (H + G) * s / (S * 25.4) in single precision, at
// least 1, plus 3; H, G, S the label height, gap (mm) and speed (inches per second) of the
// loaded format. Throws RunError(11) for a speed of 0 and RunError(6) for a value beyond 16 bits.
double waitSeconds(const state::WorkingState& state, int sets);

// The label sets for a record: its last field's leading number as a 16-bit whole number (0 ->
// 1), divided among Across labels side by side and rounded up (below 1 for a negative quantity,
// which the run leaves out). Throws RunError(6) beyond 16 bits.
int labelSets(const state::WorkingState& state, int record);

} // namespace pelmar::print_command
