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
    QStringList reasons;        // job-state-reasons ("job-printing", "printer-stopped", ...)
    QString printerMessage;     // job-printer-state-message, what the driver or device last said
    QStringList printerReasons; // job-printer-state-reasons, the printer's as its driver tells them
};

} // namespace pelmar::print_queue
