#include "print_queue/job_follower.h"

#include "common/run_error.h"
#include "common/timing.h"
#include "common/wait.h"

#include <algorithm>
#include <cmath>

namespace pelmar::print_queue {

namespace {

// The print system's own words on the job, as it gave them.
QString reasonText(const JobStatus& status) {
    QStringList reasons = status.reasons;
    reasons.removeAll(QStringLiteral("none"));
    QString text =
        reasons.isEmpty() ? QStringLiteral("沒有原因") : reasons.join(QStringLiteral(", "));
    if (!status.printerMessage.isEmpty())
        text += QStringLiteral(" (%1)").arg(status.printerMessage);
    return text;
}

// What ended the job, when something did; empty while it may still complete.
QString failureOf(const JobStatus& status) {
    switch (status.state) {
    case JobState::Stopped:
        return QStringLiteral("已停止");
    case JobState::Cancelled:
        return QStringLiteral("已取消");
    case JobState::Aborted:
        return QStringLiteral("已中止");
    case JobState::Held:
        return QStringLiteral("被保留");
    default:
        // A queue stopped under a waiting job (after a device failure) never prints it.
        return status.reasons.contains(QStringLiteral("printer-stopped"))
                   ? QStringLiteral("停在已停止的印表機佇列")
                   : QString();
    }
}

[[noreturn]] void fail(PrintSystem& system, const QString& queue, int job, const QString& what,
                       const JobStatus& status, bool cancel) {
    QString text = QStringLiteral("印表機 %1 的列印工作 %2 %3: %4")
                       .arg(queue)
                       .arg(job)
                       .arg(what, reasonText(status));
    if (cancel) {
        system.cancelJob(queue, job);
        text += QStringLiteral("; 這個工作已取消");
    }
    throw common::RunError(common::PrinterError, text);
}

} // namespace

std::chrono::milliseconds jobTimeLimit(int copies, double labelInches) {
    const double perLabel = std::max(1.0, labelInches);
    return common::timing::kJobStartAllowance +
           std::chrono::milliseconds(std::llround(std::max(copies, 1) * perLabel * 1000.0));
}

JobEnd followJob(PrintSystem& system, const QString& queue, int job,
                 const common::WaitServices& wait, std::chrono::milliseconds limit) {
    const auto deadline = wait.clock.now() + limit;
    for (;;) {
        const JobStatus status = system.jobStatus(queue, job);
        if (status.state == JobState::Completed)
            return JobEnd::Completed;
        const QString what = failureOf(status);
        if (!what.isEmpty())
            fail(system, queue, job, what, status,
                 status.state != JobState::Cancelled && status.state != JobState::Aborted);
        if (wait.clock.now() > deadline)
            fail(system, queue, job,
                 QStringLiteral("在 %1 秒內沒有完成")
                     .arg(std::chrono::duration_cast<std::chrono::seconds>(limit).count()),
                 status, true);
        if (common::waitFor(wait, common::timing::kJobPollInterval) == common::WaitEnd::Cancelled) {
            system.cancelJob(queue, job);
            return JobEnd::Cancelled;
        }
    }
}

} // namespace pelmar::print_queue
