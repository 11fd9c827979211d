#include "print_driver/barcode_symbol.h"

#include "barcode/symbol.h"
#include "barcode/type_names.h"
#include "common/run_error.h"

namespace pelmar::print_driver {

namespace {

[[noreturn]] void throwBadData(const QString& fontParameter, const QString& reason) {
    throw common::RunError(common::InvalidArgument,
                           QStringLiteral("條碼資料無法編碼 (%1): %2").arg(fontParameter, reason));
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
    if (type->digits > 0) {
        for (QChar c : data)
            if (!c.isDigit() || c.unicode() > 127)
                throwBadData(fontParameter, QStringLiteral("只能是數字"));
        // With its check digit the data is one digit longer; the encoder then verifies that
        // digit.
        if (data.size() == type->digits + 1 && type->symbology == barcode::Symbology::Ean)
            options.dataHoldsCheckDigit = true;
        else if (data.size() != type->digits && data.size() != type->digits + 1)
            throwBadData(fontParameter, QStringLiteral("長度必須是 %1 或 %2 位數字")
                                            .arg(type->digits)
                                            .arg(type->digits + 1));
    }

    const barcode::Symbol symbol = barcode::encodeLinear(options, data.toUtf8());
    if (symbol.outOfMemory)
        throw common::RunError(common::Overflow, QStringLiteral("記憶體不足"));
    if (!symbol.ok())
        throwBadData(fontParameter, symbol.error);
    if (symbol.rows < 1 || symbol.columns < 1)
        throwBadData(fontParameter, QStringLiteral("空白的條碼"));

    BarcodeModules modules;
    modules.dark.resize(static_cast<size_t>(symbol.columns));
    for (int column = 0; column < symbol.columns; ++column)
        modules.dark[static_cast<size_t>(column)] = symbol.dark(0, column);
    return modules;
}

} // namespace pelmar::print_driver
