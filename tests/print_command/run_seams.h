#pragma once

#include "print_command/recording_library.h"
#include "print_command/run_context.h"
#include "support/fake_clock.h"
#include "support/recording_message_box.h"
#include "support/recording_run_view.h"

namespace pelmar::test {

// A command-mode run over recording fakes: the state, the library the test hands to the run's
// factory, the messages, the window and a clock that moves only when the run pumps events.
struct RunSeams {
    state::WorkingState state;
    RecordingLibrary library;
    RecordingMessageBox messages;
    RecordingRunView view;
    FakeClock clock;
    print_command::RunContext context{state, messages, view, clock, clock, {}, QDate(2026, 12, 7)};
};

} // namespace pelmar::test
