#include "print_driver/barcode_symbol.h"

#include "barcode/data_check.h"
#include "common/run_error.h"

namespace pelmar::print_driver {

namespace {

[[noreturn]] void throwBadData(const QString& fontParameter, const QString& reason) {
    throw common::RunError(common::InvalidArgument,
                           QStringLiteral("條碼資料無法編碼 (%1): %2").arg(fontParameter, reason));
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
    const barcode::Symbol symbol = barcode::encodeBarcodeText(*type, data);
    if (symbol.outOfMemory)
        throw common::RunError(common::Overflow, QStringLiteral("記憶體不足"));
    if (!symbol.ok())
        throwBadData(fontParameter, symbol.error);
    if (symbol.rows < 1 || symbol.columns < 1)
        throwBadData(fontParameter, QStringLiteral("空白的條碼"));
    return modulesOf(symbol, type->twoWidths);
}

} // namespace pelmar::print_driver
