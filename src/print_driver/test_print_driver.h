#pragma once

#include "print_driver/print_labels_driver.h"

#include <QString>

namespace pelmar::print_driver {

// Prints the loaded format once for record CurrentRecord, with the quantity typed in the
// test-print box as copies (rows of Across labels); empty texts and barcodes are skipped and
// variable elements follow the field expressions of command mode (price rule, VBCR...). A
// failure, a failure to complete the output included, is shown ("TestPrint_Driver -> 發生錯誤")
// and the page aborted; nothing throws. Uses no view, clock or pause of the context.
print_command::RunResult TestPrint_Driver(DriverRunContext& context, const QString& quantityText);

} // namespace pelmar::print_driver
