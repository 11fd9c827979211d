#pragma once

#include "common/byte_port.h"
#include "common/clock.h"

#include <QString>

namespace pelmar::print_command {

// A CUPS queue taking raw jobs (application/vnd.cups-raw): the bytes of each printed label are
// sent as one job when the label ends, so labels print while the run goes on; the pictures
// downloaded at the start travel in the first job. Each job is followed until CUPS completes it.
class CupsPort : public common::BytePort {
public:
    // Checks that the queue exists; throws RunError(482) when CUPS does not know it. The wait's
    // clock and pump follow the jobs.
    CupsPort(const QString& queue, common::WaitServices wait);

    void write(const QByteArray& bytes) override { m_pending += bytes; }
    // Sends the label's bytes as one job and waits until CUPS has completed it; throws
    // RunError(482) when CUPS refuses it, the queue is stopped, or CUPS stops, aborts or cancels
    // the job (naming the job and CUPS's reason).
    void endJob() override;
    // Sends what is left (a run that ended between labels) as a last job.
    void close() override;
    bool isPhysical() const override { return true; }

private:
    // Throws RunError(482) when the queue is gone, stopped or refusing jobs.
    void checkQueueReady() const;

    QString m_queue;
    common::WaitServices m_wait;
    QByteArray m_pending;
    int m_jobs = 0;
};

} // namespace pelmar::print_command
