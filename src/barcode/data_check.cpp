#include "barcode/data_check.h"

#include "barcode/refusal_reason.h"

#include <QStringList>
#include <optional>

namespace pelmar::barcode {

namespace {

Symbol refused(const QString& reason) {
    Symbol symbol;
    symbol.error = reason;
    return symbol;
}

// EAN and UPC data: digits only, as many as the type holds without its check digit or with it,
// an add-on's digits after them. *holdsCheckDigit tells which.
QString digitsRefusal(const BarcodeType& type, const QString& data, bool* holdsCheckDigit) {
    for (const QChar c : data)
        if (c < u'0' || c > u'9')
            return digitsOnlyReason(data);
    const qsizetype digits = data.size() - type.addOnDigits;
    *holdsCheckDigit = digits == type.digits + 1;
    if (digits == type.digits || *holdsCheckDigit)
        return {};
    return QStringLiteral("長度必須是 %1 或 %2 位數字, 資料有 %3 位")
        .arg(type.digits + type.addOnDigits)
        .arg(type.digits + 1 + type.addOnDigits)
        .arg(data.size());
}

// The options after the fixed parameters of a symbol command, trimmed and in upper case.
QStringList optionsAfter(QStringView parameters, qsizetype fixed) {
    QStringList options;
    const QStringList parts = parameters.toString().split(u',');
    for (qsizetype k = fixed; k < parts.size(); ++k)
        options << parts[k].trimmed().toUpper();
    return options;
}

// The number after an option's letter; nothing when there is none.
std::optional<int> optionValue(const QString& option) {
    bool ok = false;
    const int value = option.mid(1).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString symbolRefusal(const Symbol& symbol) {
    if (symbol.ok())
        return {};
    if (symbol.outOfMemory)
        return QStringLiteral("記憶體不足, 無法檢查條碼資料");
    return refusalReason(symbol.error, QString());
}

} // namespace

Symbol encodeBarcodeText(const BarcodeType& type, const QString& data) {
    if (data.isEmpty())
        return refused(QStringLiteral("沒有資料"));
    LinearOptions options;
    options.symbology = type.symbology;
    options.checkDigit = type.checkDigit;
    options.kind = DataKind::Utf8;
    QByteArray bytes = data.toUtf8();
    if (type.digits > 0) {
        bool holdsCheckDigit = false;
        const QString reason = digitsRefusal(type, data, &holdsCheckDigit);
        if (!reason.isEmpty())
            return refused(reason);
        // UPC verifies a check digit by itself; EAN must be told it is there.
        options.dataHoldsCheckDigit = holdsCheckDigit && type.symbology == Symbology::Ean;
        if (type.addOnDigits > 0)
            bytes.insert(bytes.size() - type.addOnDigits, '+');
    }
    Symbol symbol = encodeLinear(options, bytes);
    if (!symbol.ok() && !symbol.outOfMemory)
        symbol.error = refusalReason(symbol.error, data);
    return symbol;
}

QString printerBarcodeRefusal(const QByteArray& typeName, const QString& data) {
    const BarcodeType* type = printerBarcodeType(typeName);
    if (!type) {
        if (typeName.toUpper() == "CPOST")
            return {};
        return QStringLiteral("印表機沒有「%1」這種條碼類型").arg(QString::fromLatin1(typeName));
    }
    const Symbol symbol = encodeBarcodeText(*type, data);
    if (symbol.outOfMemory)
        return QStringLiteral("記憶體不足, 無法檢查條碼資料");
    return symbol.error;
}

QString pdf417Refusal(QStringView parameters, const QByteArray& content) {
    Pdf417Options options;
    for (const QString& option : optionsAfter(parameters, 5)) {
        const std::optional<int> value = optionValue(option);
        if (option.isEmpty() || !value)
            continue;
        switch (option[0].unicode()) {
        case u'E':
            options.errorLevel = *value;
            break;
        case u'R':
            options.rows = *value;
            break;
        case u'C':
            options.columns = *value;
            break;
        case u'T':
            options.truncated = *value == 1;
            break;
        default:
            break;
        }
    }
    return symbolRefusal(encodePdf417(options, content));
}

QString dataMatrixRefusal(QStringView parameters, const QByteArray& content) {
    DataMatrixOptions options;
    int plain = 0;
    for (const QString& option : optionsAfter(parameters, 4)) {
        if (option.isEmpty())
            continue;
        if (option[0].isLetter()) {
            if (option[0] == u'A')
                options.rectangle = optionValue(option) == 1;
            continue;
        }
        bool ok = false;
        const int value = option.toInt(&ok);
        if (ok && plain < 2)
            (plain++ == 0 ? options.rows : options.columns) = value;
    }
    if (plain == 1)
        options.columns = options.rows;
    Symbol symbol = encodeDataMatrix(options, content);
    if (!symbol.ok() && (options.rows > 0 || options.columns > 0) &&
        symbol.error.startsWith(QStringLiteral("no Data Matrix symbol"))) {
        options.rows = options.columns = 0;
        symbol = encodeDataMatrix(options, content);
    }
    return symbolRefusal(symbol);
}

} // namespace pelmar::barcode
