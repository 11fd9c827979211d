#include "print_queue/job_follower.h"

#include "common/run_error.h"
#include "common/timing.h"
#include "common/wait.h"

#include <algorithm>
#include <cmath>

namespace pelmar::print_queue {

namespace {

// A reason of the print system in the operator's words, the reason itself in brackets; a
// reason not known here as it came.
QString reasonWords(const QString& reason) {
    struct Known {
        const char* keyword; // the reason without its -error/-warning/-report ending
        const char* words;
    };
    static const Known kKnown[] = {
        {"printer-stopped", "印表機佇列已停止"},
        {"paused", "印表機佇列已暫停"},
        {"media-empty", "標籤紙用完"},
        {"media-needed", "需要放入標籤紙"},
        {"media-jam", "卡紙"},
        {"offline", "印表機離線"},
        {"connecting-to-device", "正在連接印表機, 印表機沒有回應"},
        {"timed-out", "印表機沒有回應"},
        {"shutdown", "印表機已關機"},
        {"door-open", "印表機機蓋開啟"},
        {"cover-open", "印表機機蓋開啟"},
    };
    QString keyword = reason;
    for (const char* ending : {"-error", "-warning", "-report"})
        if (keyword.endsWith(QLatin1String(ending)))
            keyword.chop(qstrlen(ending));
    for (const Known& known : kKnown)
        if (keyword == QLatin1String(known.keyword))
            return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(known.words), reason);
    return reason;
}

// What the device or its driver last said, in the operator's words where it is one of the
// messages of a printer that cannot be reached.
QString messageWords(const QString& message) {
    static const char* const kNotFound[] = {"not found", "unable to locate printer",
                                            "unable to connect", "no such device",
                                            "waiting for printer to become available"};
    for (const char* phrase : kNotFound)
        if (message.contains(QLatin1String(phrase), Qt::CaseInsensitive))
            return QStringLiteral("找不到印表機 (%1)").arg(message);
    return QStringLiteral("(%1)").arg(message);
}

// The print system's words on the job: each reason in Traditional Chinese where it is known,
// the original in brackets.
QString reasonText(const JobStatus& status) {
    QStringList reasons;
    for (const QString& reason : status.reasons)
        if (reason != QLatin1String("none"))
            reasons << reasonWords(reason);
    QString text =
        reasons.isEmpty() ? QStringLiteral("沒有原因") : reasons.join(QStringLiteral(", "));
    if (!status.printerMessage.isEmpty())
        text += u' ' + messageWords(status.printerMessage);
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

// The faults among the printer's reasons while its job prints (a driver that follows the printer
// tells them): paper out, a jam, the cover open hold the job until someone comes to the printer.
QStringList printerFaults(const JobStatus& status) {
    QStringList faults;
    for (const QString& reason : status.printerReasons)
        if (reason.endsWith(QLatin1String("-error")) || reason == QLatin1String("cover-open") ||
            reason == QLatin1String("door-open"))
            faults << reason;
    return faults;
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
        if (const QStringList faults = printerFaults(status); !faults.isEmpty()) {
            JobStatus fault = status;
            fault.reasons = faults;
            fail(system, queue, job, QStringLiteral("停在印表機的故障"), fault, true);
        }
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
