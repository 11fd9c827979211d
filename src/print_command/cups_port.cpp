#include "print_command/cups_port.h"

#include "common/timing.h"
#include "print_queue/job_follower.h"
#include "print_queue/queue_check.h"

#include <algorithm>

namespace pelmar::print_command {

CupsPort::CupsPort(print_queue::PrintSystem& system, const QString& queue,
                   common::WaitServices wait)
    : m_system(system), m_queue(print_queue::findQueue(system, queue).name),
      m_wait(std::move(wait)) {}

void CupsPort::endJob() {
    if (m_pending.isEmpty())
        return;
    // A stopped queue, or one that refuses jobs, keeps labels that never print: the run must fail
    // instead of counting them as sent. A queue removed meanwhile fails here too.
    print_queue::checkQueueReady(m_system, m_queue);
    print_queue::PrintJob job;
    job.queue = m_queue;
    job.title = QStringLiteral("Pelmar %1").arg(++m_jobs);
    job.format = print_queue::DocumentFormat::Raw;
    job.document = m_pending;
    const int id = m_system.submit(job);
    m_pending.clear();
    // The bytes are small: the job completes once the printer has taken them, which takes no
    // longer than printing the labels.
    const std::chrono::milliseconds limit = m_limit;
    m_limit = common::timing::kRawJobTimeLimit;
    print_queue::followJob(m_system, m_queue, id, m_wait, limit);
}

void CupsPort::expectLabels(int sets, double labelInches) {
    if (sets > 0 && labelInches > 0)
        m_limit = std::min<std::chrono::milliseconds>(common::timing::kRawJobTimeLimit,
                                                      print_queue::jobTimeLimit(sets, labelInches));
}

void CupsPort::close() {
    endJob();
}

} // namespace pelmar::print_command
