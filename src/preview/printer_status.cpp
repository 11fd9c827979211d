#include "preview/printer_status.h"

namespace pelmar::preview {

char statusByte(const PrinterCondition& condition) {
    unsigned value = 0;
    if (condition.headOpen)
        value |= 0x01;
    if (condition.paperOut)
        value |= 0x04;
    if (condition.paused)
        value |= 0x10;
    if (condition.printing)
        value |= 0x20;
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
