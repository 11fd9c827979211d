#include "print_driver/cups_queue_sink.h"

#include "common/run_error.h"
#include "print_driver/pdf_page.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <cups/cups.h>

namespace pelmar::print_driver {

namespace {

using common::RunError;

class CupsQueueSink : public PageSink {
public:
    CupsQueueSink(QString queueName, ResolutionQuery query)
        : m_queueName(std::move(queueName)), m_query(std::move(query)) {}

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
        QByteArray pdf;
        {
            QBuffer buffer(&pdf);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            preparePdfWriter(writer);
            writer.setPageSize(size);
            QPainter painter;
            if (!painter.begin(&writer))
                throw RunError(common::PrinterError, QStringLiteral("無法產生列印工作"));
            page.render(painter, kPdfDotsPerInch);
            painter.end();
        }
        send(pdf, copies);
    }

private:
    [[noreturn]] void fail(int job) {
        const QString reason = QString::fromUtf8(cupsLastErrorString());
        if (job > 0)
            cupsCancelJob2(CUPS_HTTP_DEFAULT, m_queueName.toUtf8().constData(), job, 0);
        throw RunError(common::PrinterError,
                       QStringLiteral("列印工作無法送到 %1: %2").arg(m_queueName, reason));
    }

    void send(const QByteArray& pdf, int copies) {
        const QByteArray queue = m_queueName.toUtf8();
        const QByteArray copiesText = QByteArray::number(copies);
        cups_option_t* options = nullptr;
        int optionCount = cupsAddOption("copies", copiesText.constData(), 0, &options);
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
    }

    QString m_queueName;
    ResolutionQuery m_query;
};

} // namespace

std::unique_ptr<PageSink> makeCupsQueueSink(const QString& queueName, ResolutionQuery query) {
    return std::make_unique<CupsQueueSink>(queueName, std::move(query));
}

} // namespace pelmar::print_driver
