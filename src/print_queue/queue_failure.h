#pragma once

#include "common/run_error.h"

#include <QString>

namespace pelmar::print_queue {

// The one wording of a queue the program cannot print to, RunError(482):
// "無法連接印表機 QUEUE: WHAT (REASON)", the reason being the print system's own (in Traditional
// Chinese where it is a system error); without a reason "無法連接印表機 QUEUE: WHAT".
common::RunError queueFailure(const QString& queue, const QString& what,
                              const QString& reason = {});

} // namespace pelmar::print_queue
