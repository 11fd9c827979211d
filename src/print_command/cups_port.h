#pragma once

#include "common/byte_port.h"
#include "common/clock.h"
#include "common/timing.h"
#include "print_queue/print_system.h"

#include <QString>

namespace pelmar::print_command {

// A CUPS queue taking raw jobs: the bytes of each printed label are sent as one job when the
// label ends, so labels print while the run goes on; the pictures downloaded at the start travel
// in the first job. Each job is followed until the print system completes it.
class CupsPort : public common::BytePort {
public:
    // Finds the queue by its name or its description; throws RunError(482) when the print system
    // knows neither. The wait follows the jobs; a cancel in it cancels the job being followed.
    // The print system must outlive the port.
    CupsPort(print_queue::PrintSystem& system, const QString& queue, common::WaitServices wait);

    void write(const QByteArray& bytes) override { m_pending += bytes; }
    // Bounds the wait for the next job by print_queue::jobTimeLimit where that is below
    // timing::kRawJobTimeLimit (the bound of a job whose labels are not known).
    void expectLabels(int sets, double labelInches) override;
    // Sends the label's bytes as one job and waits until the print system has completed it, or
    // until the run is cancelled (the job is cancelled then); throws RunError(482) when the queue
    // is gone, stopped or refusing jobs, when the job is refused, or when it is stopped, aborted
    // or cancelled (naming the job and the print system's reason).
    void endJob() override;
    // Sends what is left (a run that ended between labels) as a last job.
    void close() override;
    bool isPhysical() const override { return true; }

private:
    print_queue::PrintSystem& m_system;
    QString m_queue;
    common::WaitServices m_wait;
    QByteArray m_pending;
    int m_jobs = 0;
    std::chrono::milliseconds m_limit = common::timing::kRawJobTimeLimit;
};

} // namespace pelmar::print_command
