#pragma once

#include "print_driver/page_sink.h"
#include "print_driver/queue_resolution.h"

#include <memory>

namespace pelmar::print_driver {

// Each job becomes one PDF sent to a CUPS queue with libcups, with its copies as the job's
// "copies" option. The device name is the queue's printer-info, else the queue name; the
// resolution is the queue's default one as `query` tells it (203 when it does not say).
std::unique_ptr<PageSink> makeCupsQueueSink(const QString& queueName,
                                            ResolutionQuery query = askQueueResolution);

} // namespace pelmar::print_driver
