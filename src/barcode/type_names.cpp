#include "barcode/type_names.h"

namespace pelmar::barcode {

namespace {

using S = Symbology;

// The printer's barcode type names; driver mode offers the fonts marked in the last column.
// "CPOST" is a printer type without a counterpart here.
constexpr BarcodeType kTypes[] = {
    // name, symbology, check digit, add-on digits, two widths, digits, driver font
    {"128", S::Code128, false, 0, false, 0, true},
    {"128M", S::Code128Manual, false, 0, false, 0, true},
    {"EAN128", S::Gs1_128, false, 0, false, 0, true},
    {"25", S::Interleaved2Of5, false, 0, true, 0, true},
    {"25C", S::Interleaved2Of5, true, 0, true, 0, true},
    {"39", S::Code39Extended, false, 0, true, 0, true},
    {"39C", S::Code39Extended, true, 0, true, 0, true},
    {"39S", S::Code39, false, 0, true, 0, true},
    {"93", S::Code93, false, 0, false, 0, true},
    {"EAN13", S::Ean, false, 0, false, 12, true},
    {"EAN13+2", S::Ean, false, 2, false, 12, false},
    {"EAN13+5", S::Ean, false, 5, false, 12, false},
    {"EAN8", S::Ean, false, 0, false, 7, true},
    {"EAN8+2", S::Ean, false, 2, false, 7, false},
    {"EAN8+5", S::Ean, false, 5, false, 7, false},
    {"UPCA", S::UpcA, false, 0, false, 11, true},
    {"UPCA+2", S::UpcA, false, 2, false, 11, false},
    {"UPCA+5", S::UpcA, false, 5, false, 11, false},
    {"UPCE", S::UpcE, false, 0, false, 7, true},
    {"UPCE+2", S::UpcE, false, 2, false, 7, false},
    {"UPCE+5", S::UpcE, false, 5, false, 7, false},
    {"CODA", S::Codabar, false, 0, true, 0, true},
    {"POST", S::Postnet, false, 0, false, 0, false},
    {"MSI", S::Msi, false, 0, true, 0, false},
    {"MSIC", S::Msi, true, 0, true, 0, false},
    {"PLESSEY", S::Plessey, false, 0, true, 0, false},
    {"ITF14", S::Itf14, false, 0, true, 0, false},
    {"EAN14", S::Ean14, false, 0, false, 0, false},
    {"11", S::Code11, false, 0, true, 0, false},
    {"TELEPEN", S::Telepen, false, 0, false, 0, false},
    {"TELEPENN", S::TelepenNumeric, false, 0, false, 0, false},
    {"PLANET", S::Planet, false, 0, false, 0, false},
    {"CODE49", S::Code49, false, 0, false, 0, false},
    {"DPI", S::DeutschePostIdentcode, false, 0, false, 0, false},
    {"DPL", S::DeutschePostLeitcode, false, 0, false, 0, false},
    {"LOGMARS", S::Logmars, false, 0, true, 0, false},
};

struct Alias {
    const char16_t* font;
    const char* type;
};

constexpr Alias kDriverAliases[] = {
    {u"CODABAR", "CODA"},
    {u"GS1128", "EAN128"},
    {u"ITF", "25"},
    {u"INTERLEAVED2OF5", "25"},
};

const BarcodeType* findType(const QByteArray& upperName) {
    for (const BarcodeType& type : kTypes)
        if (upperName == type.name)
            return &type;
    return nullptr;
}

QString normalisedFontName(const QString& fontParameter) {
    QString name;
    for (QChar c : fontParameter.toUpper())
        if (c != u' ' && c != u'-' && c != u'_')
            name += c;
    if (name.startsWith(QStringLiteral("CODE")) && name.size() > 4)
        name.remove(0, 4);
    return name;
}

} // namespace

const BarcodeType* printerBarcodeType(const QByteArray& name) {
    return findType(name.toUpper());
}

const BarcodeType* driverBarcodeFont(const QString& fontParameter) {
    const QString name = normalisedFontName(fontParameter);
    QByteArray typeName = name.toLatin1();
    for (const Alias& alias : kDriverAliases)
        if (name == QStringView(alias.font))
            typeName = alias.type;
    const BarcodeType* type = findType(typeName);
    return type && type->driverFont ? type : nullptr;
}

} // namespace pelmar::barcode
