#include "preview/printer_status.h"

#include "common/printer_status_byte.h"

namespace pelmar::preview {

char statusByte(const PrinterCondition& condition) {
    namespace bit = common::status_bit;
    unsigned value = 0;
    if (condition.headOpen)
        value |= bit::kHeadOpen;
    if (condition.paperOut)
        value |= bit::kPaperOut;
    if (condition.paused)
        value |= bit::kPaused;
    if (condition.printing)
        value |= bit::kPrinting;
    return static_cast<char>(value);
}

QByteArray extendedStatus(const PrinterCondition& condition) {
    char message = '@';
    if (condition.headOpen || condition.paperOut)
        message = 'E';
    else if (condition.paused)
        message = '`';
    else if (condition.printing)
        message = 'P';
    const char warning = condition.bufferFull ? 'H' : '@';
    const char error = '@';
    char media = '@';
    if (condition.paperOut)
        media = static_cast<char>(media | 0x01);
    if (condition.headOpen)
        media = static_cast<char>(media | 0x20);
    QByteArray answer;
    answer.append('\x02').append(message).append(warning).append(error).append(media);
    answer.append("\x03\r\n");
    return answer;
}

QByteArray modelName(int dpi) {
    return dpi >= 300 ? QByteArrayLiteral("PELMAR VIRTUAL 300\r\n")
                      : QByteArrayLiteral("PELMAR VIRTUAL 203\r\n");
}

} // namespace pelmar::preview
