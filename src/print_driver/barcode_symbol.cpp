#include "print_driver/barcode_symbol.h"

#include "barcode/refusal_reason.h"
#include "barcode/symbol.h"
#include "barcode/type_names.h"
#include "common/run_error.h"

namespace pelmar::print_driver {

namespace {

[[noreturn]] void throwBadData(const QString& fontParameter, const QString& reason) {
    throw common::RunError(common::InvalidArgument,
                           QStringLiteral("條碼資料無法編碼 (%1): %2").arg(fontParameter, reason));
}

// EAN and UPC data: digits only, with or without the check digit.
void checkDigits(const barcode::BarcodeType& type, const QString& fontParameter,
                 const QString& data, barcode::LinearOptions& options) {
    for (QChar c : data)
        if (c < u'0' || c > u'9')
            throwBadData(fontParameter, barcode::digitsOnlyReason(data));
    // With its check digit the data is one digit longer; the encoder then verifies that digit.
    if (data.size() == type.digits + 1 && type.symbology == barcode::Symbology::Ean)
        options.dataHoldsCheckDigit = true;
    else if (data.size() != type.digits && data.size() != type.digits + 1)
        throwBadData(fontParameter, QStringLiteral("長度必須是 %1 或 %2 位數字, 資料有 %3 位")
                                        .arg(type.digits)
                                        .arg(type.digits + 1)
                                        .arg(data.size()));
}

// The first row of the symbol; a wide element of a two-width symbology (a run longer than one
// module) becomes three modules, the ratio its readers expect.
BarcodeModules modulesOf(const barcode::Symbol& symbol, bool twoWidths) {
    BarcodeModules modules;
    int column = 0;
    while (column < symbol.columns) {
        const bool dark = symbol.dark(0, column);
        int run = 0;
        while (column < symbol.columns && symbol.dark(0, column) == dark) {
            ++run;
            ++column;
        }
        if (twoWidths)
            run = run > 1 ? 3 : 1;
        modules.dark.insert(modules.dark.end(), static_cast<size_t>(run), dark);
    }
    return modules;
}

} // namespace

bool isKnownBarcodeFont(const QString& fontParameter) {
    return barcode::driverBarcodeFont(fontParameter) != nullptr;
}

BarcodeModules encodeBarcode(const QString& fontParameter, const QString& data) {
    const barcode::BarcodeType* type = barcode::driverBarcodeFont(fontParameter);
    if (!type)
        throw common::RunError(common::InvalidArgument,
                               QStringLiteral("未知的條碼字型: %1").arg(fontParameter));
    if (data.isEmpty())
        throwBadData(fontParameter, QStringLiteral("沒有資料"));

    barcode::LinearOptions options;
    options.symbology = type->symbology;
    options.checkDigit = type->checkDigit;
    options.kind = barcode::DataKind::Utf8;
    if (type->digits > 0)
        checkDigits(*type, fontParameter, data, options);

    const barcode::Symbol symbol = barcode::encodeLinear(options, data.toUtf8());
    if (symbol.outOfMemory)
        throw common::RunError(common::Overflow, QStringLiteral("記憶體不足"));
    if (!symbol.ok())
        throwBadData(fontParameter, barcode::refusalReason(symbol.error, data));
    if (symbol.rows < 1 || symbol.columns < 1)
        throwBadData(fontParameter, QStringLiteral("空白的條碼"));
    return modulesOf(symbol, type->twoWidths);
}

} // namespace pelmar::print_driver
