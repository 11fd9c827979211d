#include "barcode/fixed_data_check.h"

#include "barcode/refusal_reason.h"
#include "barcode/symbol.h"

namespace pelmar::barcode {

namespace {

bool digitsOnly(const QString& text) {
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

QString fixedDataRefusal(const BarcodeType& type, const QString& data) {
    if (data.isEmpty())
        return QStringLiteral("沒有資料");
    LinearOptions options;
    options.symbology = type.symbology;
    options.checkDigit = type.checkDigit;
    options.kind = DataKind::Utf8;
    QString content = data;
    if (type.digits > 0) {
        if (!digitsOnly(data))
            return digitsOnlyReason(data);
        const qsizetype length = data.size() - type.addOnDigits;
        if (length != type.digits && length != type.digits + 1)
            return QStringLiteral("長度必須是 %1 或 %2 位數字, 資料有 %3 位")
                .arg(type.digits + type.addOnDigits)
                .arg(type.digits + 1 + type.addOnDigits)
                .arg(data.size());
        options.dataHoldsCheckDigit = length == type.digits + 1 && type.symbology == Symbology::Ean;
        // The encoder takes the add-on after a "+".
        if (type.addOnDigits > 0)
            content.insert(length, u'+');
    }
    const Symbol symbol = encodeLinear(options, content.toUtf8());
    if (symbol.ok())
        return QString();
    return symbol.outOfMemory ? QStringLiteral("記憶體不足") : refusalReason(symbol.error, data);
}

} // namespace pelmar::barcode
