#include "preview/tspl_command.h"

namespace pelmar::preview {

QByteArrayView trimmedView(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.sliced(begin, end - begin);
}

QByteArray commandName(QByteArrayView line) {
    qsizetype end = 0;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ',' &&
           line[end] != '"')
        ++end;
    return line.first(end).toByteArray().toUpper();
}

QString printable(const QByteArray& bytes) {
    QString out;
    for (qsizetype i = 0; i < bytes.size() && i < 24; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F)
            out += QLatin1Char(static_cast<char>(c));
        else
            out += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
    }
    if (bytes.size() > 24)
        out += QStringLiteral("...");
    return out;
}

std::optional<int> quarterTurns(QByteArrayView text) {
    const std::optional<int> degrees = parseDots(text);
    if (!degrees || (*degrees != 0 && *degrees != 90 && *degrees != 180 && *degrees != 270))
        return std::nullopt;
    return *degrees / 90;
}

} // namespace pelmar::preview
