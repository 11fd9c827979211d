#pragma once

#include "common/clock.h"
#include "print_queue/print_system.h"

#include <chrono>

namespace pelmar::print_queue {

// How long a job of `copies` labels, each labelInches long in the feed direction, may take to
// complete: the start allowance for the print system and the connection, plus every label at
// 1 inch per second (slower than any label printer prints), at least a second a label.
std::chrono::milliseconds jobTimeLimit(int copies, double labelInches);

// How following a job ended when it did not fail.
enum class JobEnd {
    Completed, // the print system completed the job
    Cancelled, // the operator cancelled the run; the job was cancelled too
};

// Follows a job of `queue` until the print system completes it, reading its state every
// kJobPollInterval while the window processes its events. A cancel of the run ends the wait
// within one poll: the job is cancelled, so that it cannot print later, and Cancelled returned.
// Throws RunError(482) naming the queue, the job and the print system's reasons when the job is
// stopped, aborted, cancelled or held, when the queue stops under it, or when it has not
// completed within `limit`; a job that was stopped, held or timed out is cancelled first.
JobEnd followJob(PrintSystem& system, const QString& queue, int job,
                 const common::WaitServices& wait, std::chrono::milliseconds limit);

} // namespace pelmar::print_queue
