#pragma once

#include "print_queue/print_system.h"

#include <QString>

namespace pelmar::print_queue {

// The queue called `name`, else the queue whose description is `name` (start-up lists printers
// by their device name, which for a queue with a description is not the queue's own name).
// Throws the lookup's RunError(482) when neither is known.
QueueInfo findQueue(PrintSystem& system, const QString& name);

// Throws RunError(482) when the queue cannot print a job now: it is gone, stopped or refusing
// jobs. CUPS keeps taking jobs for a stopped queue, so a run asks this before each job instead
// of counting such labels as printed.
void checkQueueReady(PrintSystem& system, const QString& queue);

} // namespace pelmar::print_queue
