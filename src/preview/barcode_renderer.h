#pragma once

#include "preview/dot_bitmap.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace pelmar::preview {

class TextRenderer;

// A drawn symbol, or the reason it could not be drawn.
struct SymbolResult {
    DotBitmap bitmap;
    QString error;
};

// Parameters of a BARCODE command; sizes in dots.
struct BarcodeRequest {
    QByteArray type;    // the printer's type name: "128", "EAN13", "39S", ...
    QByteArray content; // bytes in the printer's code page
    int height = 0;     // bar height
    int readable = 0;   // 0 no text, 1 left, 2 centre, 3 right
    int narrow = 1;     // narrow bar (module) width
    int wide = 2;       // wide bar width of two-width symbologies
};

// True when type names a barcode type the printer knows (letter case ignored).
bool isKnownBarcodeType(const QByteArray& type);

// Largest symbol drawn, in dots; a larger one is refused so memory stays bounded.
inline constexpr long long kMaxSymbolDots = 32LL * 1024 * 1024;

// The unrotated barcode: bars from the top, readable text below them.
SymbolResult renderBarcode(const BarcodeRequest& request, TextRenderer& text);

// Parameters of PDF417 options; 0 means the printer's default.
struct Pdf417Request {
    QByteArray content;
    int errorLevel = -1; // E: 0..8, -1 automatic
    int moduleWidth = 0; // W: dots
    int rowHeight = 0;   // H: dots
    int rows = 0;        // R
    int columns = 0;     // C
    bool truncated = false;
};
SymbolResult renderPdf417(const Pdf417Request& request);

struct DataMatrixRequest {
    QByteArray content;
    int moduleSize = 0; // x#: dots; 0 chooses the largest that fits `area`
    int area = 0;       // the smaller side of the command's area in dots
    int rows = 0;       // symbol size, 0 automatic
    int columns = 0;
    bool rectangle = false;
};
SymbolResult renderDataMatrix(const DataMatrixRequest& request);

struct QrRequest {
    QByteArray content;
    char errorLevel = 'L'; // L, M, Q, H
    int cellWidth = 4;     // dots
};
SymbolResult renderQrCode(const QrRequest& request);

} // namespace pelmar::preview
