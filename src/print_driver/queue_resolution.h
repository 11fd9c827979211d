#pragma once

#include "print_queue/print_system.h"

#include <QString>

namespace pelmar::print_driver {

// The resolution to draw a queue's bars for, in dots per inch: the queue's default resolution
// when it is one a printer can have (50 to 4,800 dpi), else 203.
int queueDotsPerInch(print_queue::PrintSystem& system, const QString& queueName);

} // namespace pelmar::print_driver
