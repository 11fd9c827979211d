#pragma once

#include "common/clock.h"
#include "print_driver/page_sink.h"
#include "print_queue/print_system.h"

#include <memory>

namespace pelmar::print_driver {

// Each job becomes one document sent to a queue of the print system, one page for each of its
// copies, in the format the queue's driver takes (its documentRoute, asked once): CUPS or PWG
// raster drawn at the queue's resolution, else PDF. Its options are the media (the page's size,
// cupsCustomMedia), the page size (cupsPageSize) and portrait orientation. The
// queue is checked before each job and each job is followed with `wait` until it is completed or
// the run cancelled; a stopped queue or a job that the print system stops, aborts or cancels
// throws RunError(482). The device name is the queue's description, else the queue name; the
// resolution is the queue's default one (203 when it does not say), asked once. Jobs are held
// until printed when the queue's driver says so. The print system must outlive the sink.
std::unique_ptr<PageSink> makeCupsQueueSink(print_queue::PrintSystem& system,
                                            const QString& queueName, common::WaitServices wait);

// The page's size as CUPS's custom media name in points, the PDF page's own unit, so that the
// queue's driver takes the page as it is: "Custom.170.1x113.4" for a 60 x 40 mm label.
QString cupsCustomMedia(const PageContent& page);

// The page's size as CUPS's custom page size in the whole points of the job's PDF page (Qt
// rounds them): "Custom.227x85" for an 80 x 30 mm label (226.8 x 85.05 points). Throws RunError(5)
// for a size that is not positive.
QString cupsPageSize(const PageContent& page);

} // namespace pelmar::print_driver
