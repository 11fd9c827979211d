#pragma once

#include "common/clock.h"
#include "print_driver/page_sink.h"
#include "print_queue/print_system.h"

#include <memory>

namespace pelmar::print_driver {

// Each job becomes one PDF sent to a queue of the print system, one page for each of its copies,
// with its media (the page's size, cupsCustomMedia) and portrait orientation as job options. The
// queue is checked before each job and each job is followed with `wait` until it is completed or
// the run cancelled; a stopped queue or a job that the print system stops, aborts or cancels
// throws RunError(482). The device name is the queue's description, else the queue name; the
// resolution is the queue's default one (203 when it does not say). The print system must
// outlive the sink.
std::unique_ptr<PageSink> makeCupsQueueSink(print_queue::PrintSystem& system,
                                            const QString& queueName, common::WaitServices wait);

// The page's size as CUPS's custom media name in points, the PDF page's own unit, so that the
// queue's driver takes the page as it is: "Custom.170.1x113.4" for a 60 x 40 mm label.
QString cupsCustomMedia(const PageContent& page);

} // namespace pelmar::print_driver
