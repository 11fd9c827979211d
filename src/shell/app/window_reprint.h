#pragma once

#include "shell/app/journal_screen.h"

namespace pelmar::app {

// The window's reprint: takes the run's copies of its data file and format out of the journal,
// reads that data file into a working state of its own (the window's records stay as they are),
// and prints the range with the window's settings as a new journaled run that names the run it
// reprints, in command mode on the chosen printer (driver mode asks for the printer as any run
// does). The run locks are let go when it ends.
class JournalReprinter : public Reprinter {
public:
    // Throws as prepareReprint (RunError 57, 5 or 75); everything else is reported by the run
    // itself.
    FlowResult reprint(AppContext& context, const ReprintRequest& request) override;
    void cancel() override;

private:
    state::WorkingState* m_running = nullptr;
};

} // namespace pelmar::app
