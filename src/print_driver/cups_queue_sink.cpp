#include "print_driver/cups_queue_sink.h"

#include "common/run_error.h"
#include "common/units.h"
#include "print_driver/pdf_page.h"
#include "print_driver/queue_resolution.h"
#include "print_driver/raster_page.h"
#include "print_queue/job_follower.h"
#include "print_queue/queue_check.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <optional>

namespace pelmar::print_driver {

namespace {

using common::RunError;

// The label's copies as a PDF, one page each: label drivers behind the PDF-to-raster chain get
// copies=1 from it and would print the label once.
QByteArray pdfOf(const PageContent& page, int copies) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    // The writer's whole points are kept here: CUPS rasterises pages of whole points (its
    // raster's page size), and a page of the same size keeps the label on the printer's dot
    // grid, where an exact page would be centred a fraction of a dot off and every bar of a
    // barcode would grow by a dot.
    QPdfWriter writer(&buffer);
    preparePdfWriter(writer);
    writer.setPageSize(pdfPageSize(page));
    QPainter painter;
    if (!painter.begin(&writer))
        throw RunError(common::PrinterError, QStringLiteral("無法產生列印工作"));
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0)
            writer.newPage();
        page.render(painter, kPdfDotsPerInch);
    }
    painter.end();
    return pdf;
}

class CupsQueueSink : public PageSink {
public:
    CupsQueueSink(print_queue::PrintSystem& system, QString queueName, common::WaitServices wait)
        : m_system(system), m_queueName(std::move(queueName)), m_wait(std::move(wait)) {}

    int dotsPerInch() override {
        if (m_dotsPerInch <= 0)
            m_dotsPerInch = queueDotsPerInch(m_system, m_queueName);
        return m_dotsPerInch;
    }

    bool holdsJobsUntilPrinted() override { return route().holdsJobsUntilPrinted; }

    QString deviceName() override {
        const print_queue::QueueInfo queue = m_system.queue(m_queueName);
        return queue.description.isEmpty() ? m_queueName : queue.description;
    }

    void overlapJobs() override { m_overlap = true; }

    bool lastJobWithdrawn() const override { return m_withdrawn; }

    void sendJob(const PageContent& page, int copies) override {
        m_withdrawn = false;
        if (!m_overlap) {
            follow(submit(page, copies), m_wait);
            return;
        }
        // The job before prints meanwhile; until it has, a failure is its own, not this job's.
        std::optional<QueuedJob> queued;
        try {
            queued = submit(page, copies);
        } catch (const RunError& error) {
            if (m_before && !completed(*m_before))
                withdrawBefore(error);
            m_before.reset();
            throw;
        }
        if (!m_before) {
            m_before = queued;
            return;
        }
        try {
            if (follow(*m_before, m_wait) == print_queue::JobEnd::Cancelled) {
                withdraw(*queued);
                m_withdrawn = true;
                queued.reset();
            }
        } catch (const RunError& error) {
            // The job before failed (and was cancelled where it could still print): this one
            // must not print after it when the printer is set right.
            withdraw(*queued);
            m_before.reset();
            throw EarlierJobFailed(error);
        }
        m_before = queued;
    }

    // The last job ended stays printed, a cancel meanwhile notwithstanding.
    void finish() override {
        const std::optional<QueuedJob> last = std::exchange(m_before, std::nullopt);
        if (!last)
            return;
        try {
            follow(*last, {m_wait.clock, m_wait.events});
        } catch (const RunError& error) {
            throw EarlierJobFailed(error);
        }
    }

private:
    struct QueuedJob {
        int id = 0;
        std::chrono::milliseconds limit{};
    };

    // Checks the queue, then submits the page's copies in the format the queue's driver takes.
    QueuedJob submit(const PageContent& page, int copies) {
        // The print system takes jobs for a stopped queue and keeps them: those labels would
        // never print.
        print_queue::checkQueueReady(m_system, m_queueName);
        print_queue::PrintJob job;
        job.queue = m_queueName;
        job.title = QStringLiteral("Pelmar");
        job.documentName = QStringLiteral("label");
        job.format = route().format;
        job.document = job.format == print_queue::DocumentFormat::Pdf
                           ? pdfOf(page, copies)
                           : print_queue::rasterDocument(rasterPage(page, dotsPerInch()), copies,
                                                         job.format, route().ppd);
        // Without its media a label is placed on the queue's default paper, turned and centred;
        // without its page size in the PDF's own whole points, CUPS truncates the media's points
        // and centres the page a fraction of a dot off the printer's grid.
        job.options = {{QStringLiteral("copies"), QStringLiteral("1")},
                       {QStringLiteral("media"), cupsCustomMedia(page)},
                       {QStringLiteral("PageSize"), cupsPageSize(page)},
                       {QStringLiteral("orientation-requested"), QStringLiteral("3")}};
        const double labelInches = page.heightTwips / common::kTwipsPerInch;
        return {m_system.submit(job), print_queue::jobTimeLimit(copies, labelInches)};
    }

    print_queue::JobEnd follow(const QueuedJob& job, const common::WaitServices& wait) {
        return print_queue::followJob(m_system, m_queueName, job.id, wait, job.limit);
    }

    // Whether the print system has completed the job; not when it cannot say.
    bool completed(const QueuedJob& job) {
        try {
            return m_system.jobStatus(m_queueName, job.id).state ==
                   print_queue::JobState::Completed;
        } catch (const RunError&) {
            return false;
        }
    }

    void withdraw(const QueuedJob& job) { m_system.cancelJob(m_queueName, job.id); }

    // The job before has not printed when this one could not be sent: it is withdrawn, and the
    // failure is its own.
    [[noreturn]] void withdrawBefore(const RunError& error) {
        withdraw(*m_before);
        m_before.reset();
        throw EarlierJobFailed(error);
    }

    // Asked once: a queue's driver does not change during a run.
    const print_queue::DocumentRoute& route() {
        if (!m_route)
            m_route = m_system.documentRoute(m_queueName);
        return *m_route;
    }

    print_queue::PrintSystem& m_system;
    QString m_queueName;
    common::WaitServices m_wait;
    int m_dotsPerInch = 0;
    std::optional<print_queue::DocumentRoute> m_route;
    bool m_overlap = false;
    std::optional<QueuedJob> m_before; // overlapped: the job sent last, not yet followed
    bool m_withdrawn = false;
};

} // namespace

std::unique_ptr<PageSink> makeCupsQueueSink(print_queue::PrintSystem& system,
                                            const QString& queueName, common::WaitServices wait) {
    return std::make_unique<CupsQueueSink>(system, queueName, std::move(wait));
}

QString cupsCustomMedia(const PageContent& page) {
    const auto points = [](std::int32_t twips) {
        // Hundredths of a point, without trailing zeros: 170.1, 113.4, 72.
        return QString::number(std::round(common::twipsToPoints(twips) * 100.0) / 100.0, 'g', 10);
    };
    return QStringLiteral("Custom.%1x%2").arg(points(page.widthTwips), points(page.heightTwips));
}

QString cupsPageSize(const PageContent& page) {
    const QSize points = pdfPageSize(page).sizePoints();
    return QStringLiteral("Custom.%1x%2").arg(points.width()).arg(points.height());
}

} // namespace pelmar::print_driver
