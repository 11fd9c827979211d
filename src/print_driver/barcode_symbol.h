#pragma once

#include <QString>
#include <vector>

namespace pelmar::print_driver {

// The modules of a linear barcode, left to right; true is a bar. Symbologies of narrow and wide
// elements have their wide elements three modules wide.
struct BarcodeModules {
    std::vector<bool> dark;
    int width() const { return static_cast<int>(dark.size()); }
};

// True when the font parameter names a barcode font: 39, 39S, 39C, 93, 128, 128M, EAN128,
// EAN13, EAN8, UPCA, UPCE, 25, 25C, CODABAR (or CODA), also written like "Code 128" or "EAN-13",
// in any letter case. "128M" is Code 128 whose data chooses its subsets with !nnn escapes, as on
// the printer.
bool isKnownBarcodeFont(const QString& fontParameter);

// Encodes data as the barcode the font parameter names. Throws RunError(5) naming the font when
// it is unknown, RunError(5) naming the font and the reason in Traditional Chinese when the data
// cannot be encoded (letters in an EAN-13, a wrong check digit, Chinese text in Code 128, an
// empty text).
BarcodeModules encodeBarcode(const QString& fontParameter, const QString& data);

} // namespace pelmar::print_driver
