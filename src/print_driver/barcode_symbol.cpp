#include "print_driver/barcode_symbol.h"

#include "common/run_error.h"

#include <memory>
#include <optional>
#include <zint.h>

namespace pelmar::print_driver {

namespace {

struct Symbology {
    int symbology;
    int option2 = 0; // 1 adds the optional check digit (Code 39, 2 of 5)
    int digits = 0;  // EAN/UPC: the data length without check digit
    bool gs1 = false;
};

// "Code 128", "code-128", "128" all name the same font: letter case, blanks, hyphens and
// underscores do not count, nor a leading "CODE".
QString normalisedName(const QString& fontParameter) {
    QString name;
    for (QChar c : fontParameter.toUpper())
        if (c != u' ' && c != u'-' && c != u'_')
            name += c;
    if (name.startsWith(QStringLiteral("CODE")) && name.size() > 4)
        name.remove(0, 4);
    return name;
}

std::optional<Symbology> symbologyOf(const QString& fontParameter) {
    const QString name = normalisedName(fontParameter);
    if (name == u"39")
        return Symbology{BARCODE_EXCODE39};
    if (name == u"39S")
        return Symbology{BARCODE_CODE39};
    if (name == u"39C")
        return Symbology{BARCODE_EXCODE39, 1};
    if (name == u"93")
        return Symbology{BARCODE_CODE93};
    if (name == u"128" || name == u"128M")
        return Symbology{BARCODE_CODE128};
    if (name == u"EAN128" || name == u"GS1128")
        return Symbology{BARCODE_GS1_128, 0, 0, true};
    if (name == u"EAN13")
        return Symbology{BARCODE_EANX, 0, 12};
    if (name == u"EAN8")
        return Symbology{BARCODE_EANX, 0, 7};
    if (name == u"UPCA")
        return Symbology{BARCODE_UPCA, 0, 11};
    if (name == u"UPCE")
        return Symbology{BARCODE_UPCE, 0, 7};
    if (name == u"25" || name == u"ITF" || name == u"INTERLEAVED2OF5")
        return Symbology{BARCODE_C25INTER};
    if (name == u"25C")
        return Symbology{BARCODE_C25INTER, 1};
    if (name == u"CODABAR" || name == u"CODA")
        return Symbology{BARCODE_CODABAR};
    return std::nullopt;
}

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

bool moduleIsSet(const zint_symbol& symbol, int row, int column) {
    return (symbol.encoded_data[row][column >> 3] >> (column & 7)) & 1;
}

[[noreturn]] void throwBadData(const QString& fontParameter, const QString& reason) {
    throw common::RunError(common::InvalidArgument,
                           QStringLiteral("條碼資料無法編碼 (%1): %2").arg(fontParameter, reason));
}

} // namespace

bool isKnownBarcodeFont(const QString& fontParameter) {
    return symbologyOf(fontParameter).has_value();
}

BarcodeModules encodeBarcode(const QString& fontParameter, const QString& data) {
    const std::optional<Symbology> kind = symbologyOf(fontParameter);
    if (!kind)
        throw common::RunError(common::InvalidArgument,
                               QStringLiteral("未知的條碼字型: %1").arg(fontParameter));
    if (data.isEmpty())
        throwBadData(fontParameter, QStringLiteral("沒有資料"));

    int symbology = kind->symbology;
    if (kind->digits > 0) {
        for (QChar c : data)
            if (!c.isDigit() || c.unicode() > 127)
                throwBadData(fontParameter, QStringLiteral("只能是數字"));
        // With its check digit the data is one digit longer; zint then verifies that digit.
        if (data.size() == kind->digits + 1 && symbology == BARCODE_EANX)
            symbology = BARCODE_EANX_CHK;
        else if (data.size() != kind->digits && data.size() != kind->digits + 1)
            throwBadData(fontParameter, QStringLiteral("長度必須是 %1 或 %2 位數字")
                                            .arg(kind->digits)
                                            .arg(kind->digits + 1));
    }

    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        throw common::RunError(common::Overflow, QStringLiteral("記憶體不足"));
    symbol->symbology = symbology;
    symbol->option_2 = kind->option2;
    symbol->input_mode = kind->gs1 ? (GS1_MODE | GS1PARENS_MODE) : UNICODE_MODE;
    symbol->show_hrt = 0;
    const QByteArray bytes = data.toUtf8();
    const int status =
        ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(bytes.constData()),
                        static_cast<int>(bytes.size()));
    if (status >= ZINT_ERROR)
        throwBadData(fontParameter, QString::fromUtf8(symbol->errtxt));
    if (symbol->rows < 1 || symbol->width < 1)
        throwBadData(fontParameter, QStringLiteral("空白的條碼"));

    BarcodeModules modules;
    modules.dark.resize(static_cast<size_t>(symbol->width));
    for (int column = 0; column < symbol->width; ++column)
        modules.dark[static_cast<size_t>(column)] = moduleIsSet(*symbol, 0, column);
    return modules;
}

} // namespace pelmar::print_driver
