#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace pelmar::print_driver {

// The default resolution a queue reports (IPP printer-resolution-default), across the page, in
// dots per inch; nullopt when it does not say or cannot be asked.
using ResolutionQuery = std::function<std::optional<int>(const QString& queueName)>;

// Asks the queue through libcups.
std::optional<int> askQueueResolution(const QString& queueName);

// The resolution to draw a queue's bars for: the query's answer when it is one a printer can
// have (50 to 4,800 dpi), else 203.
int queueDotsPerInch(const ResolutionQuery& query, const QString& queueName);

} // namespace pelmar::print_driver
