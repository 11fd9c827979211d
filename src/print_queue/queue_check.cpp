#include "print_queue/queue_check.h"

#include "common/system_error_text.h"

#include <cups/cups.h>

namespace pelmar::print_queue {

QString queueProblem(const QString& queue) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), nullptr);
    if (!dest)
        return QStringLiteral("印表機佇列已不存在 (%1)")
            .arg(common::systemErrorText(QString::fromUtf8(cupsLastErrorString())));
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool stopped = state != nullptr && QByteArray(state) == "5";
    const bool refusing = accepting != nullptr && QByteArray(accepting) == "false";
    cupsFreeDests(1, dest);
    if (stopped)
        return QStringLiteral("印表機佇列已停止");
    if (refusing)
        return QStringLiteral("印表機佇列拒絕接受工作");
    return {};
}

} // namespace pelmar::print_queue
