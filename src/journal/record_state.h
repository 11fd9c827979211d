#pragma once

#include "journal/journal.h"

namespace pelmar::journal {

// Whether a record may move from one state to another; `from` empty for a record the journal
// has not seen yet. A record that was sent, printed, left out or is in doubt is never sent again
// in its run.
bool transitionAllowed(std::optional<RecordState> from, RecordState to);

} // namespace pelmar::journal
