#pragma once

#include <QString>

namespace pelmar::print_queue {

// Why the CUPS queue cannot print a job now (it is gone, stopped or refusing jobs), in
// Traditional Chinese; an empty text when it can. CUPS keeps taking jobs for a stopped queue,
// so a run asks this before each job instead of counting such labels as printed.
QString queueProblem(const QString& queue);

} // namespace pelmar::print_queue
