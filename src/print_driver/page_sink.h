#pragma once

#include "print_driver/bar_layout.h"
#include "print_driver/earlier_job_failed.h"
#include "print_driver/page_content.h"

#include <QString>

namespace pelmar::print_driver {

// Where ended pages go: a CUPS queue, a PDF file, pictures kept in memory.
class PageSink {
public:
    virtual ~PageSink() = default;
    // The device name of the printer behind the sink.
    virtual QString deviceName() = 0;
    // The resolution of the printer behind the sink, dots per inch: barcodes are drawn on its dot
    // grid.
    virtual int dotsPerInch() { return kDefaultPrinterDotsPerInch; }
    // Whether a job has been printed when sendJob returns (the printer's driver holds each job
    // until then): the printer then paces the run. Throws RunError.
    virtual bool holdsJobsUntilPrinted() { return false; }
    // From now on sendJob leaves its job waiting behind the one before and returns once that one
    // has been printed, so that the printer goes from one job to the next without waiting for the
    // program; finish waits for the last. Only where jobs are held until printed.
    virtual void overlapJobs() {}
    // Whether the operator cancelled while the last sendJob waited, and its job was withdrawn
    // before any of it printed.
    virtual bool lastJobWithdrawn() const { return false; }
    // One job: the page printed `copies` times. Throws RunError when the job cannot be sent,
    // EarlierJobFailed when the job before it (overlapped) did not print.
    virtual void sendJob(const PageContent& page, int copies) = 0;
    // Completes the output (closes a file, waits for an overlapped job); later jobs are refused.
    // Throws RunError.
    virtual void finish() {}
};

} // namespace pelmar::print_driver
