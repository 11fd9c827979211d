#pragma once

#include "common/clock.h"
#include "print_queue/job_status.h"

#include <chrono>

namespace pelmar::print_queue {

// How long a job of `copies` labels, each labelInches long in the feed direction, may take to
// complete: a minute for the print system and the connection, plus every label at 1 inch per
// second (slower than any label printer prints), at least a second a label.
std::chrono::milliseconds jobTimeLimit(int copies, double labelInches);

// Follows a job of `queue` until the print system completes it, reading its state every
// pollInterval and letting the window process its events in between. Throws RunError(482) naming
// the queue, the job and the print system's reasons when the job is stopped, aborted, cancelled
// or held, when the queue stops under it, or when it has not completed within `limit`; a job
// that was stopped, held or timed out is cancelled first, so that it cannot print later.
void followJob(JobStatusSource& source, const QString& queue, int job, common::Clock& clock,
               common::EventPump& events, std::chrono::milliseconds limit,
               std::chrono::milliseconds pollInterval = std::chrono::milliseconds(100));

} // namespace pelmar::print_queue
