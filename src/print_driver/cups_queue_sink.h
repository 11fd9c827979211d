#pragma once

#include "print_driver/page_sink.h"

#include <memory>

namespace pelmar::print_driver {

// Each job becomes one PDF sent to a CUPS queue with libcups, with its copies as the job's
// "copies" option. The device name is the queue's printer-info, else the queue name.
std::unique_ptr<PageSink> makeCupsQueueSink(const QString& queueName);

} // namespace pelmar::print_driver
