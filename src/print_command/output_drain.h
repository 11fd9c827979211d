#pragma once

#include <QString>
#include <chrono>
#include <functional>

namespace pelmar::print_command {

// Waits while the bytes queued on fd (a TCP connection or a terminal-like printer device) go out
// to the printer, polling every timing::kDrainPollInterval and calling meanwhile (which may
// throw) between polls. Returns at once for a descriptor without an output queue. Throws
// RunError(482) naming address and the bytes left when the queue has not shrunk for
// noProgressLimit.
void drainOutput(int fd, std::chrono::milliseconds noProgressLimit, const QString& address,
                 const std::function<void()>& meanwhile = {});

} // namespace pelmar::print_command
