#pragma once

#include <QString>
#include <QStringList>

namespace pelmar::print_queue {

// A print job's state as the print system reports it; the values are IPP's job-state.
enum class JobState {
    Pending = 3,
    Held = 4,
    Processing = 5,
    Stopped = 6,
    Cancelled = 7,
    Aborted = 8,
    Completed = 9,
};

struct JobStatus {
    JobState state = JobState::Pending;
    QStringList reasons;    // job-state-reasons ("job-printing", "printer-stopped", ...)
    QString printerMessage; // job-printer-state-message, what the driver or device last said
};

// Where a job's state is read (CUPS, or a fake in tests).
class JobStatusSource {
public:
    virtual ~JobStatusSource() = default;
    // The job's current state. Throws RunError(482) when it cannot be asked.
    virtual JobStatus jobStatus(int job) = 0;
    // Asks the print system to cancel the job; a failure is ignored.
    virtual void cancelJob(int job) = 0;
};

} // namespace pelmar::print_queue
