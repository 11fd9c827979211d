#pragma once

#include "common/clock.h"
#include "print_driver/page_sink.h"
#include "print_driver/queue_resolution.h"

#include <memory>

namespace pelmar::print_driver {

// Each job becomes one PDF sent to a CUPS queue with libcups, one page for each of its copies,
// with its media (the page's size, cupsCustomMedia) and portrait orientation as job options. The
// queue is checked before each job and each job is followed with `wait` until CUPS has completed
// it; a stopped queue or a job that CUPS stops, aborts or cancels throws RunError(482). The device
// name is the queue's printer-info, else the queue name; the resolution is the queue's default one
// as `query` tells it (203 when it does not say).
std::unique_ptr<PageSink> makeCupsQueueSink(const QString& queueName, common::WaitServices wait,
                                            ResolutionQuery query = askQueueResolution);

// The page's size as CUPS's custom media name in points, the PDF page's own unit, so that the
// queue's driver takes the page as it is: "Custom.170.1x113.4" for a 60 x 40 mm label.
QString cupsCustomMedia(const PageContent& page);

} // namespace pelmar::print_driver
