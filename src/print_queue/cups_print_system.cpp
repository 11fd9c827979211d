#include "print_queue/cups_print_system.h"

#include "print_queue/queue_failure.h"

#include "print_queue/document_route.h"

#include <QFile>
#include <cmath>
#include <cups/cups.h>
#include <cups/ppd.h>
#include <memory>
#include <unistd.h>

namespace pelmar::print_queue {

namespace {

QString lastReason() {
    return QString::fromUtf8(cupsLastErrorString());
}

QString destOption(const cups_dest_t& dest, const char* name) {
    return QString::fromUtf8(cupsGetOption(name, dest.num_options, dest.options));
}

QueueInfo queueInfo(const cups_dest_t& dest) {
    QueueInfo info;
    info.name = QString::fromUtf8(dest.name);
    info.description = destOption(dest, "printer-info");
    info.stopped = destOption(dest, "printer-state") == QLatin1String("5");
    info.acceptingJobs = destOption(dest, "printer-is-accepting-jobs") != QLatin1String("false");
    return info;
}

struct DestDeleter {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using DestPointer = std::unique_ptr<cups_dest_t, DestDeleter>;

DestPointer namedDest(const QString& name) {
    return DestPointer(cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toUtf8().constData(), nullptr));
}

const char* mimeType(DocumentFormat format) {
    switch (format) {
    case DocumentFormat::Pdf:
        return CUPS_FORMAT_PDF;
    case DocumentFormat::CupsRaster:
        return "application/vnd.cups-raster";
    case DocumentFormat::PwgRaster:
        return "image/pwg-raster";
    case DocumentFormat::Raw:
        break;
    }
    return CUPS_FORMAT_RAW;
}

} // namespace

QList<QueueInfo> CupsPrintSystem::queues() {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    QList<QueueInfo> result;
    for (int i = 0; i < count; ++i)
        if (dests[i].instance == nullptr)
            result << queueInfo(dests[i]);
    cupsFreeDests(count, dests);
    return result;
}

QueueInfo CupsPrintSystem::queue(const QString& name) {
    const DestPointer dest = namedDest(name);
    if (!dest)
        throw queueFailure(name, QStringLiteral("找不到這個印表機佇列"), lastReason());
    return queueInfo(*dest);
}

std::optional<int> CupsPrintSystem::defaultResolution(const QString& queue) {
    const DestPointer dest = namedDest(queue);
    if (!dest)
        return std::nullopt;
    std::optional<int> dotsPerInch;
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get())) {
        ipp_attribute_t* attribute =
            cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest.get(), info, "printer-resolution");
        if (attribute && ippGetValueTag(attribute) == IPP_TAG_RESOLUTION) {
            int y = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int x = ippGetResolution(attribute, 0, &y, &units);
            dotsPerInch = units == IPP_RES_PER_CM ? static_cast<int>(std::lround(x * 2.54)) : x;
        }
        cupsFreeDestInfo(info);
    }
    return dotsPerInch;
}

namespace {

// The queue's printer description; empty when it has none (a driverless or raw queue) or it
// cannot be fetched.
QByteArray printerDescription(const QString& queue) {
    char file[1024] = "";
    time_t modified = 0;
    // The only way to a queue's printer description, which CUPS marks deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const http_status_t status =
        cupsGetPPD3(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), &modified, file, sizeof file);
#pragma GCC diagnostic pop
    if (status != HTTP_STATUS_OK)
        return {};
    QFile copy(QString::fromLocal8Bit(file));
    const QByteArray text = copy.open(QIODevice::ReadOnly) ? copy.readAll() : QByteArray();
    // libcups made a temporary copy for this call alone.
    ::unlink(file);
    return text;
}

// document-format-supported of the queue; none when it cannot be asked.
QStringList documentFormats(const QString& queue) {
    const DestPointer dest = namedDest(queue);
    QStringList formats;
    if (!dest)
        return formats;
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get())) {
        if (ipp_attribute_t* supported =
                cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest.get(), info, "document-format"))
            for (int i = 0; i < ippGetCount(supported); ++i)
                formats << QString::fromUtf8(ippGetString(supported, i, nullptr));
        cupsFreeDestInfo(info);
    }
    return formats;
}

} // namespace

DocumentRoute CupsPrintSystem::documentRoute(const QString& queue) {
    return routeOf(printerDescription(queue), documentFormats(queue));
}

// A job created but not wholly sent is cancelled, so that half a document never prints.
void CupsPrintSystem::failSubmitted(const QString& queue, int job) {
    const QString reason = lastReason();
    cancelJob(queue, job);
    throw queueFailure(queue, QStringLiteral("列印工作 %1 無法送出").arg(job), reason);
}

int CupsPrintSystem::submit(const PrintJob& job) {
    const QByteArray queue = job.queue.toUtf8();
    const QByteArray title = job.title.toUtf8();
    const QByteArray documentName = job.documentName.isEmpty() ? title : job.documentName.toUtf8();
    cups_option_t* options = nullptr;
    int optionCount = 0;
    for (const auto& [name, value] : job.options)
        optionCount = cupsAddOption(name.toUtf8().constData(), value.toUtf8().constData(),
                                    optionCount, &options);
    const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, queue.constData(), title.constData(),
                                 optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (id <= 0)
        throw queueFailure(job.queue, QStringLiteral("列印工作無法送出"), lastReason());
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, queue.constData(), id, documentName.constData(),
                          mimeType(job.format), 1) != HTTP_STATUS_CONTINUE)
        failSubmitted(job.queue, id);
    // The document is finished even when the writing failed: that ends the request.
    const bool written =
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, job.document.constData(),
                             static_cast<size_t>(job.document.size())) == HTTP_STATUS_CONTINUE;
    const bool finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.constData()) == IPP_STATUS_OK;
    if (!written || !finished)
        failSubmitted(job.queue, id);
    return id;
}

JobStatus CupsPrintSystem::jobStatus(const QString& queue, int job) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/jobs/%d", job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char* const wanted[] = {"job-state", "job-state-reasons",
                                         "job-printer-state-message", "job-printer-state-reasons"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(std::size(wanted)), nullptr, wanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/jobs/");
    if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        const QString reason = lastReason();
        ippDelete(response);
        throw queueFailure(queue, QStringLiteral("無法查詢列印工作 %1").arg(job), reason);
    }
    JobStatus status;
    if (ipp_attribute_t* state = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
        status.state = static_cast<JobState>(ippGetInteger(state, 0));
    if (ipp_attribute_t* reasons = ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD))
        for (int i = 0; i < ippGetCount(reasons); ++i)
            status.reasons << QString::fromUtf8(ippGetString(reasons, i, nullptr));
    if (ipp_attribute_t* message =
            ippFindAttribute(response, "job-printer-state-message", IPP_TAG_TEXT))
        status.printerMessage = QString::fromUtf8(ippGetString(message, 0, nullptr));
    if (ipp_attribute_t* reasons =
            ippFindAttribute(response, "job-printer-state-reasons", IPP_TAG_KEYWORD))
        for (int i = 0; i < ippGetCount(reasons); ++i)
            status.printerReasons << QString::fromUtf8(ippGetString(reasons, i, nullptr));
    ippDelete(response);
    return status;
}

// cupsCancelJob2 rather than cupsCancelJob: the latter only wraps it, and this one names the
// connection the job was created on and does not purge, so the job stays in the queue's history
// as cancelled, where its state can still be read.
void CupsPrintSystem::cancelJob(const QString& queue, int job) {
    cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), job, 0);
}

} // namespace pelmar::print_queue
