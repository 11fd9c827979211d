#include "print_driver/cups_queue_sink.h"

#include "common/run_error.h"
#include "common/system_error_text.h"
#include "common/units.h"
#include "print_driver/pdf_page.h"
#include "print_queue/cups_job_status.h"
#include "print_queue/job_follower.h"
#include "print_queue/queue_check.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <cups/cups.h>

namespace pelmar::print_driver {

namespace {

using common::RunError;

class CupsQueueSink : public PageSink {
public:
    CupsQueueSink(QString queueName, common::WaitServices wait, ResolutionQuery query)
        : m_queueName(std::move(queueName)), m_wait(wait), m_query(std::move(query)) {}

    int dotsPerInch() override { return queueDotsPerInch(m_query, m_queueName); }

    QString deviceName() override {
        const QByteArray queue = m_queueName.toUtf8();
        cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr);
        if (!dest)
            throw RunError(common::PrinterError,
                           QStringLiteral("找不到印表機: %1").arg(m_queueName));
        const char* info = cupsGetOption("printer-info", dest->num_options, dest->options);
        const QString name = info && *info ? QString::fromUtf8(info) : m_queueName;
        cupsFreeDests(1, dest);
        return name;
    }

    void sendJob(const PageContent& page, int copies) override {
        const QPageSize size = pdfPageSize(page);
        // CUPS takes jobs for a stopped queue and keeps them: those labels would never print.
        const QString problem = print_queue::queueProblem(m_queueName);
        if (!problem.isEmpty())
            throw RunError(common::PrinterError,
                           QStringLiteral("印表機 %1 無法列印: %2").arg(m_queueName, problem));
        QByteArray pdf;
        {
            QBuffer buffer(&pdf);
            buffer.open(QIODevice::WriteOnly);
            // The writer's whole points are kept here: CUPS rasterises pages of whole points (its
            // raster's page size), and a page of the same size keeps the label on the printer's
            // dot grid, where an exact page would be centred a fraction of a dot off and every
            // bar of a barcode would grow by a dot.
            QPdfWriter writer(&buffer);
            preparePdfWriter(writer);
            writer.setPageSize(size);
            QPainter painter;
            if (!painter.begin(&writer))
                throw RunError(common::PrinterError, QStringLiteral("無法產生列印工作"));
            // Every copy is a page of its own: label drivers behind the PDF-to-raster chain get
            // copies=1 from it and would print the label once.
            for (int copy = 0; copy < copies; ++copy) {
                if (copy > 0)
                    writer.newPage();
                page.render(painter, kPdfDotsPerInch);
            }
            painter.end();
        }
        const int job = send(pdf, cupsCustomMedia(page));
        print_queue::CupsJobStatus jobs(m_queueName);
        const double labelInches = page.heightTwips / common::kTwipsPerInch;
        print_queue::followJob(jobs, m_queueName, job, m_wait.clock, m_wait.events,
                               print_queue::jobTimeLimit(copies, labelInches));
    }

private:
    [[noreturn]] void fail(int job) {
        const QString reason = common::systemErrorText(QString::fromUtf8(cupsLastErrorString()));
        if (job > 0)
            cupsCancelJob2(CUPS_HTTP_DEFAULT, m_queueName.toUtf8().constData(), job, 0);
        throw RunError(common::PrinterError,
                       QStringLiteral("列印工作無法送到 %1: %2").arg(m_queueName, reason));
    }

    // Returns the job's id.
    int send(const QByteArray& pdf, const QString& media) {
        const QByteArray queue = m_queueName.toUtf8();
        cups_option_t* options = nullptr;
        int optionCount = cupsAddOption("copies", "1", 0, &options);
        // Without its media a label is placed on the queue's default paper, turned and centred.
        optionCount = cupsAddOption("media", media.toUtf8().constData(), optionCount, &options);
        optionCount = cupsAddOption("orientation-requested", "3", optionCount, &options);
        const int job =
            cupsCreateJob(CUPS_HTTP_DEFAULT, queue.constData(), "Pelmar", optionCount, options);
        cupsFreeOptions(optionCount, options);
        if (job <= 0)
            fail(0);
        if (cupsStartDocument(CUPS_HTTP_DEFAULT, queue.constData(), job, "label", CUPS_FORMAT_PDF,
                              1) != HTTP_STATUS_CONTINUE)
            fail(job);
        if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(),
                                 static_cast<size_t>(pdf.size())) != HTTP_STATUS_CONTINUE)
            fail(job);
        if (cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.constData()) != IPP_STATUS_OK)
            fail(job);
        return job;
    }

    QString m_queueName;
    common::WaitServices m_wait;
    ResolutionQuery m_query;
};

} // namespace

std::unique_ptr<PageSink> makeCupsQueueSink(const QString& queueName, common::WaitServices wait,
                                            ResolutionQuery query) {
    return std::make_unique<CupsQueueSink>(queueName, wait, std::move(query));
}

QString cupsCustomMedia(const PageContent& page) {
    const auto points = [](std::int32_t twips) {
        // Hundredths of a point, without trailing zeros: 170.1, 113.4, 72.
        return QString::number(std::round(common::twipsToPoints(twips) * 100.0) / 100.0, 'g', 10);
    };
    return QStringLiteral("Custom.%1x%2").arg(points(page.widthTwips), points(page.heightTwips));
}

} // namespace pelmar::print_driver
