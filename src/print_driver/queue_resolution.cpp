#include "print_driver/queue_resolution.h"

#include "print_driver/bar_layout.h"

namespace pelmar::print_driver {

int queueDotsPerInch(print_queue::PrintSystem& system, const QString& queueName) {
    const std::optional<int> answer = system.defaultResolution(queueName);
    if (answer && *answer >= 50 && *answer <= 4800)
        return *answer;
    return kDefaultPrinterDotsPerInch;
}

} // namespace pelmar::print_driver
