#include "print_queue/queue_failure.h"

#include "common/system_error_text.h"

namespace pelmar::print_queue {

common::RunError queueFailure(const QString& queue, const QString& what, const QString& reason) {
    QString text = QStringLiteral("無法連接印表機 %1: %2").arg(queue, what);
    if (!reason.isEmpty())
        text += QStringLiteral(" (%1)").arg(common::systemErrorText(reason));
    return common::RunError(common::PrinterError, text);
}

} // namespace pelmar::print_queue
