#include "print_driver/queue_resolution.h"

#include "print_driver/bar_layout.h"

#include <cmath>
#include <cups/cups.h>

namespace pelmar::print_driver {

std::optional<int> askQueueResolution(const QString& queueName) {
    const QByteArray queue = queueName.toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr);
    if (!dest)
        return std::nullopt;
    std::optional<int> dotsPerInch;
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        ipp_attribute_t* attribute =
            cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution");
        if (attribute && ippGetValueTag(attribute) == IPP_TAG_RESOLUTION) {
            int y = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int x = ippGetResolution(attribute, 0, &y, &units);
            dotsPerInch = units == IPP_RES_PER_CM ? static_cast<int>(std::lround(x * 2.54)) : x;
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return dotsPerInch;
}

int queueDotsPerInch(const ResolutionQuery& query, const QString& queueName) {
    const std::optional<int> answer = query ? query(queueName) : std::nullopt;
    if (answer && *answer >= 50 && *answer <= 4800)
        return *answer;
    return kDefaultPrinterDotsPerInch;
}

} // namespace pelmar::print_driver
