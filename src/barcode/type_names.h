#pragma once

#include "barcode/symbol.h"

#include <QByteArray>
#include <QString>

namespace pelmar::barcode {

// A barcode type name and what it draws.
struct BarcodeType {
    const char* name; // the printer's type name: "128", "EAN13+2", "39S", ...
    Symbology symbology;
    bool checkDigit; // the optional check digit is added
    int addOnDigits; // digits of a "+2" / "+5" add-on at the end of the data
    bool twoWidths;  // built of narrow and wide elements only
    int digits;      // EAN and UPC: the data's length without check digit
    bool driverFont; // a barcode font of driver mode, too
};

// The type of a BARCODE command by its name, letter case ignored; nullptr for a name the
// virtual printer cannot draw.
const BarcodeType* printerBarcodeType(const QByteArray& name);

// The type a driver-mode barcode font parameter names: "Code 128", "code-128" and "128" are the
// same font (letter case, blanks, hyphens, underscores and a leading "CODE" do not count);
// CODABAR, GS1128, ITF and INTERLEAVED2OF5 are other names of CODA, EAN128 and 25. nullptr for
// a font the driver does not offer.
const BarcodeType* driverBarcodeFont(const QString& fontParameter);

} // namespace pelmar::barcode
