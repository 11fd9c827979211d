#include "print_queue/cups_job_status.h"

#include "common/run_error.h"
#include "common/system_error_text.h"

#include <cups/cups.h>

namespace pelmar::print_queue {

JobStatus CupsJobStatus::jobStatus(int job) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/jobs/%d", job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char* const wanted[] = {"job-state", "job-state-reasons",
                                         "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(std::size(wanted)), nullptr, wanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/jobs/");
    if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        const QString reason = common::systemErrorText(QString::fromUtf8(cupsLastErrorString()));
        ippDelete(response);
        throw common::RunError(common::PrinterError,
                               QStringLiteral("無法查詢印表機 %1 的列印工作 %2: %3")
                                   .arg(m_queue)
                                   .arg(job)
                                   .arg(reason));
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
    ippDelete(response);
    return status;
}

void CupsJobStatus::cancelJob(int job) {
    cupsCancelJob2(CUPS_HTTP_DEFAULT, m_queue.toUtf8().constData(), job, 0);
}

} // namespace pelmar::print_queue
