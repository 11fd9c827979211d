#pragma once

#include "print_queue/job_status.h"

namespace pelmar::print_queue {

// Job states of one CUPS queue, read with IPP Get-Job-Attributes from the default server.
class CupsJobStatus : public JobStatusSource {
public:
    explicit CupsJobStatus(QString queue) : m_queue(std::move(queue)) {}
    JobStatus jobStatus(int job) override;
    void cancelJob(int job) override;

private:
    QString m_queue;
};

} // namespace pelmar::print_queue
