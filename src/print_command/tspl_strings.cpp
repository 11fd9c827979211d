#include "print_command/tspl_strings.h"

#include "print_command/printer_library.h"

#include <QStringList>

namespace pelmar::print_command {

namespace {

constexpr char16_t kDefaultEscape = u'~';

QString controlName(unsigned char byte) {
    const QString name =
        QStringLiteral("0x") + QString::number(byte, 16).rightJustified(2, u'0').toUpper();
    switch (byte) {
    case '\n':
        return name + QStringLiteral(" (LF)");
    case '\r':
        return name + QStringLiteral(" (CR)");
    case 0x1B:
        return name + QStringLiteral(" (ESC)");
    default:
        return name;
    }
}

QString tooLong(qsizetype bytes) {
    return QStringLiteral("長度 %1 位元組, 超過印表機字串上限 %2 位元組")
        .arg(bytes)
        .arg(kMaxStringBytes);
}

// The escape character of a c# option among the parameters after x,y,width,height; 0 for none.
int escapeOption(const QString& parameters) {
    const QStringList parts = parameters.split(u',');
    for (qsizetype k = 4; k < parts.size(); ++k) {
        const QString part = parts[k].trimmed();
        if (part.size() < 2 || part[0].toLower() != u'c')
            continue;
        bool ok = false;
        const int code = part.mid(1).toInt(&ok);
        if (ok)
            return code;
    }
    return 0;
}

} // namespace

QString quotedRefusal(const QByteArray& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t')
            return QStringLiteral("含控制字元 %1, 印表機指令的字串無法傳送").arg(controlName(byte));
    }
    const qsizetype escaped = text.size() + 3 * text.count('"');
    if (escaped > kMaxStringBytes)
        return tooLong(escaped);
    if (text.endsWith("\\["))
        return QStringLiteral("以 \\[ 結尾, 會與字串結尾的引號相連");
    return {};
}

SymbolCommand pdf417Command(const QString& parameters, const QString& content,
                            const common::CodePage& codePage) {
    const QString head = QStringLiteral("PDF417 ") + parameters + u',';
    const QByteArray bytes = codePage.encode(content);
    if (quotedRefusal(bytes).isEmpty())
        return {head + u'"' + escapeQuotes(content) + u'"', {}};
    if (bytes.size() > kMaxStringBytes)
        return {{}, tooLong(bytes.size())};
    return {head + u'L' + QString::number(bytes.size()) + u',' + content, {}};
}

SymbolCommand dataMatrixCommand(const QString& parameters, const QString& content,
                                const common::CodePage& codePage) {
    const QString command = QStringLiteral("DMATRIX ");
    const bool quotable = quotedRefusal(codePage.encode(content)).isEmpty();
    int escape = escapeOption(parameters);
    if (escape == 0 && quotable)
        return {command + parameters + QStringLiteral(",\"") + escapeQuotes(content) + u'"', {}};

    QString options = parameters;
    if (escape == 0) {
        escape = kDefaultEscape;
        const qsizetype fourth = parameters.section(u',', 0, 3).size();
        options.insert(fourth, QStringLiteral(",c126"));
    }
    // Only a printable character other than the double quote can stand for the control bytes.
    if (!quotable && (escape <= 0x20 || escape >= 0x7F || escape == u'"'))
        return {{}, QStringLiteral("DMATRIX 的逸出字元 c%1 無法表示控制字元").arg(escape)};
    // The escape character of the data is doubled, so the data cannot hold codes of its own.
    const QChar mark(escape);
    QString escaped;
    escaped.reserve(content.size() + 8);
    for (const QChar c : content) {
        if (c.unicode() < 0x20 && c != u'\t') {
            escaped += mark;
            escaped += QChar(0x40 + c.unicode());
        } else {
            if (c == mark)
                escaped += mark;
            escaped += c;
        }
    }
    // The byte of the [ stays in the symbol without standing next to the closing quote.
    if (codePage.encode(escaped).endsWith("\\[")) {
        escaped.chop(1);
        escaped += mark;
        escaped += QStringLiteral("d091");
    }
    const QString refusal = quotedRefusal(codePage.encode(escaped));
    if (!refusal.isEmpty())
        return {{}, refusal};
    return {command + options + QStringLiteral(",\"") + escapeQuotes(escaped) + u'"', {}};
}

} // namespace pelmar::print_command
