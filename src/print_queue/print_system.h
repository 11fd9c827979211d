#pragma once

#include "print_queue/job_status.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace pelmar::print_queue {

// One print queue as the print system describes it.
struct QueueInfo {
    QString name;
    QString description;       // printer-info; empty when the queue has none
    bool stopped = false;      // printer-state "stopped": jobs are kept, never printed
    bool acceptingJobs = true; // printer-is-accepting-jobs
};

// What a job's document is; the queue's filters are chosen by it.
enum class DocumentFormat {
    Raw, // the printer's own commands, passed through untouched
    Pdf,
    CupsRaster, // application/vnd.cups-raster: pages at the printer's dots, for a PPD driver
    PwgRaster,  // image/pwg-raster: pages at the printer's dots, for a driverless queue
};

// How a queue takes label pages: the document format its driver prints without a converter in
// between, and whether that driver holds each job until the printer has printed it (Pelmar's own
// TSPL filter), so that a completed job is a printed one.
struct DocumentRoute {
    DocumentFormat format = DocumentFormat::Pdf;
    bool holdsJobsUntilPrinted = false;
    QByteArray ppd; // the queue's printer description, for raster page headers; empty: none
};

// A job to submit: one document with its options.
struct PrintJob {
    QString queue;
    QString title;        // job-name, shown in the queue's list
    QString documentName; // empty: the title
    DocumentFormat format = DocumentFormat::Raw;
    QByteArray document;
    QList<QPair<QString, QString>> options; // job options by name ("media", "copies", ...)
};

// The print system (CUPS) as the program uses it: its queues and the jobs sent to them. Every
// failure to reach it is a RunError(482) worded by queueFailure.
class PrintSystem {
public:
    virtual ~PrintSystem() = default;
    // The installed queues, without their instances, in the print system's order; none when it
    // cannot be reached.
    virtual QList<QueueInfo> queues() = 0;
    // The queue called `name`. Throws RunError(482) when the print system does not know it or
    // cannot be asked.
    virtual QueueInfo queue(const QString& name) = 0;
    // The queue's default resolution across the page, in dots per inch; nullopt when it does not
    // say or cannot be asked.
    virtual std::optional<int> defaultResolution(const QString& queue) = 0;
    // How the queue takes label pages (see routeOf). A queue that cannot be asked takes PDF.
    virtual DocumentRoute documentRoute(const QString& queue) = 0;
    // Submits the job and returns its id. Throws RunError(482) when the print system refuses it
    // (a job it created meanwhile is cancelled first).
    virtual int submit(const PrintJob& job) = 0;
    // The job's current state. Throws RunError(482) when it cannot be asked.
    virtual JobStatus jobStatus(const QString& queue, int job) = 0;
    // Asks the print system to cancel the job (it stays in the queue's history as cancelled); a
    // failure is ignored, as there is nothing more to do about the job.
    virtual void cancelJob(const QString& queue, int job) = 0;
};

} // namespace pelmar::print_queue
