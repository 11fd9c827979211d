#pragma once

#include "common/message_box.h"
#include "common/run_view.h"
#include "print_command/label_output.h"
#include "print_command/record_journal.h"
#include "print_command/run_result.h"
#include "state/working_state.h"

namespace pelmar::print_command {

// What the record loop works with besides the output.
struct RecordRun {
    state::WorkingState& state;
    common::MessageBox& messageBox;
    common::RunView& view;
    // The records before firstRecord and after lastRecord (0: none after it) are left alone; a
    // first or last record beyond the data file fails the run as a data failure.
    int firstRecord = 1;
    int lastRecord = 0;
    // Told of every record's steps (none when empty); its failure fails the run.
    RecordJournal* journal = nullptr;
};

// Prints the records through output, in either print mode. Nothing at all happens when there are
// no records. Shows the sending status, then for each record its progress ("r OF n"), its fields
// on the record line and its grid row; sends its label once with the sets its quantity asks for,
// then waits as the output does. Stops on a cancel while a label is made or after a record's
// wait. The journal, when there is one, is told of each record before its label is sent, after
// it, once the output confirms it printed, and when it is left out. A record whose quantity is
// below 0, or whose label the output refuses (LabelRefused), goes into tally.leftOut and the run
// goes on; a quantity beyond 16 bits fails the run as a data failure naming the record and the
// value. A failure is shown under the output's caption and the output abandoned; never throws.
RunResult printRecords(const RecordRun& run, LabelOutput& output);

} // namespace pelmar::print_command
