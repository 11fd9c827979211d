#include "print_command/cups_port.h"

#include "common/system_error_text.h"
#include "print_command/port_failure.h"
#include "print_queue/cups_job_status.h"
#include "print_queue/job_follower.h"
#include "print_queue/queue_check.h"

#include <cups/cups.h>

namespace pelmar::print_command {

namespace {

constexpr std::chrono::seconds kRawJobTimeLimit{120};

QString lastCupsReason() {
    return common::systemErrorText(QString::fromUtf8(cupsLastErrorString()));
}

// The queue whose description (printer-info) is the name: start-up lists printers by their
// device name, which for a queue with a description is not the queue's own name.
QString queueByDescription(const QString& description) {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    QString queue;
    for (int i = 0; i < count && queue.isEmpty(); ++i) {
        const char* info = cupsGetOption("printer-info", dests[i].num_options, dests[i].options);
        if (dests[i].instance == nullptr && info != nullptr &&
            QString::fromUtf8(info) == description)
            queue = QString::fromUtf8(dests[i].name);
    }
    cupsFreeDests(count, dests);
    return queue;
}

} // namespace

CupsPort::CupsPort(const QString& queue, common::WaitServices wait) : m_queue(queue), m_wait(wait) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), nullptr);
    if (!dest) {
        m_queue = queueByDescription(queue);
        if (!m_queue.isEmpty())
            dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, m_queue.toUtf8().constData(), nullptr);
    }
    if (!dest)
        throwPortFailure(queue, QStringLiteral("找不到這個印表機佇列 (%1)").arg(lastCupsReason()));
    cupsFreeDests(1, dest);
}

// A stopped queue, or one that refuses jobs, keeps labels that never print: the run must fail
// instead of counting them as sent. A queue removed meanwhile fails here too.
void CupsPort::checkQueueReady() const {
    const QString problem = print_queue::queueProblem(m_queue);
    if (!problem.isEmpty())
        throwPortFailure(m_queue, problem);
}

void CupsPort::endJob() {
    if (m_pending.isEmpty())
        return;
    checkQueueReady();
    const QByteArray name = m_queue.toUtf8();
    const QByteArray title = QStringLiteral("Pelmar %1").arg(++m_jobs).toUtf8();
    const int job =
        cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), title.constData(), 0, nullptr);
    if (job == 0)
        throwPortFailure(m_queue, lastCupsReason());
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, title.constData(),
                          CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
        cupsCancelJob(name.constData(), job);
        throwPortFailure(m_queue, lastCupsReason());
    }
    const bool written =
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, m_pending.constData(),
                             static_cast<size_t>(m_pending.size())) == HTTP_STATUS_CONTINUE;
    const bool finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) == IPP_STATUS_OK;
    if (!written || !finished)
        throwPortFailure(m_queue, lastCupsReason());
    m_pending.clear();
    // The bytes are small: the job completes once the printer has taken them.
    print_queue::CupsJobStatus jobs(m_queue);
    print_queue::followJob(jobs, m_queue, job, m_wait.clock, m_wait.events, kRawJobTimeLimit);
}

void CupsPort::close() {
    endJob();
}

} // namespace pelmar::print_command
