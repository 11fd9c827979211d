#include "preview/barcode_renderer.h"

#include "barcode/symbol.h"
#include "barcode/type_names.h"
#include "preview/text_renderer.h"

#include <algorithm>

namespace pelmar::preview {

namespace {

// One row of a linear symbol as alternating runs, bar first: widths in dots.
using Runs = std::vector<int>;

// The module rows of a symbol as runs; two-width symbologies get narrow and wide dots, the
// others `narrow` dots a module.
std::vector<Runs> runsOf(const barcode::Symbol& symbol, int narrow, int wide, bool twoWidths) {
    std::vector<Runs> rows;
    for (int row = 0; row < symbol.rows; ++row) {
        Runs runs;
        bool colour = true;
        int length = 0;
        for (int col = 0; col < symbol.columns; ++col) {
            const bool set = symbol.dark(row, col);
            if (set != colour) {
                runs.push_back(length);
                colour = set;
                length = 0;
            }
            ++length;
        }
        runs.push_back(length);
        for (int& r : runs) {
            if (r == 0)
                continue;
            r = twoWidths ? (r > 1 ? wide : narrow) : r * narrow;
        }
        rows.push_back(std::move(runs));
    }
    return rows;
}

// Draws runs (bar first) into rows [top, top + height) of the bitmap.
void drawRuns(DotBitmap& bitmap, const Runs& runs, int top, int height) {
    int x = 0;
    bool bar = true;
    for (const int width : runs) {
        if (bar)
            bitmap.fill(x, top, width, height);
        x += width;
        bar = !bar;
    }
}

int runsWidth(const Runs& runs) {
    long long sum = 0;
    for (const int r : runs)
        sum += r;
    return static_cast<int>(std::min<long long>(sum, kMaxSymbolDots));
}

SymbolResult linearSymbol(const std::vector<Runs>& rows, const std::vector<float>& rowHeights,
                          int height, int readable, const QString& humanText, TextRenderer& text) {
    SymbolResult result;
    int width = 0;
    for (const Runs& r : rows)
        width = std::max(width, runsWidth(r));
    DotBitmap label;
    if (readable > 0 && !humanText.isEmpty())
        label = text.render("2", 1, 1, humanText);
    const int textGap = label.isEmpty() ? 0 : 2;
    const int total = std::max(width, label.width);
    const long long fullHeight = static_cast<long long>(height) + textGap + label.height;
    if (width <= 0 || static_cast<long long>(total) * fullHeight > kMaxSymbolDots) {
        result.error =
            QStringLiteral("symbol of %1 x %2 dots is too large").arg(total).arg(fullHeight);
        return result;
    }
    DotBitmap out(total, static_cast<int>(fullHeight));
    float sum = 0;
    for (const float h : rowHeights)
        sum += h;
    int top = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int bottom = i + 1 == rows.size() || sum <= 0
                               ? static_cast<int>(height * (i + 1) / rows.size())
                               : top + static_cast<int>(height * rowHeights[i] / sum + 0.5f);
        drawRuns(out, rows[i], top, std::max(bottom - top, 0));
        top = bottom;
    }
    if (!label.isEmpty()) {
        int x = 0;
        if (readable == 2)
            x = (width - label.width) / 2;
        else if (readable == 3)
            x = width - label.width;
        x = std::max(x, 0);
        for (int y = 0; y < label.height; ++y)
            for (int lx = 0; lx < label.width && x + lx < out.width; ++lx)
                if (label.at(lx, y))
                    out.at(x + lx, height + textGap + y) = 1;
    }
    result.bitmap = std::move(out);
    return result;
}

// The module matrix of a 2D symbol, each module moduleWidth x moduleHeight dots.
SymbolResult matrixSymbol(const barcode::Symbol& symbol, int moduleWidth, int moduleHeight) {
    SymbolResult result;
    const long long w = static_cast<long long>(symbol.columns) * moduleWidth;
    const long long h = static_cast<long long>(symbol.rows) * moduleHeight;
    if (w <= 0 || h <= 0 || w * h > kMaxSymbolDots) {
        result.error = QStringLiteral("symbol of %1 x %2 dots is too large").arg(w).arg(h);
        return result;
    }
    result.bitmap = DotBitmap(static_cast<int>(w), static_cast<int>(h));
    for (int row = 0; row < symbol.rows; ++row)
        for (int col = 0; col < symbol.columns; ++col)
            if (symbol.dark(row, col))
                result.bitmap.fill(col * moduleWidth, row * moduleHeight, moduleWidth,
                                   moduleHeight);
    return result;
}

SymbolResult refused(const QString& error) {
    SymbolResult result;
    result.error = error;
    return result;
}

} // namespace

bool isKnownBarcodeType(const QByteArray& type) {
    return barcode::printerBarcodeType(type) != nullptr || type.toUpper() == "CPOST";
}

SymbolResult renderBarcode(const BarcodeRequest& request, TextRenderer& text) {
    const barcode::BarcodeType* type = barcode::printerBarcodeType(request.type);
    if (!type)
        return refused(QStringLiteral("barcode type \"%1\" is not supported")
                           .arg(QString::fromLatin1(request.type)));
    const int narrow = std::clamp(request.narrow, 1, 100);
    const int wide = std::clamp(std::max(request.wide, narrow), 1, 100);
    const int height = std::clamp(request.height, 1, 8000);
    QByteArray content = request.content;
    if (type->addOnDigits > 0) {
        if (content.size() <= type->addOnDigits)
            return refused(QStringLiteral("content too short for its add-on"));
        content.insert(content.size() - type->addOnDigits, '+');
    }
    barcode::LinearOptions options;
    options.symbology = type->symbology;
    options.checkDigit = type->checkDigit;
    const barcode::Symbol symbol = barcode::encodeLinear(options, content);
    if (!symbol.ok())
        return refused(symbol.error);
    return linearSymbol(runsOf(symbol, narrow, wide, type->twoWidths), symbol.rowHeights, height,
                        request.readable, symbol.text, text);
}

SymbolResult renderPdf417(const Pdf417Request& request) {
    barcode::Pdf417Options options;
    options.errorLevel = request.errorLevel;
    options.columns = request.columns;
    options.rows = request.rows;
    options.truncated = request.truncated;
    const barcode::Symbol symbol = barcode::encodePdf417(options, request.content);
    if (!symbol.ok())
        return refused(symbol.error);
    const int moduleWidth = request.moduleWidth > 0 ? std::clamp(request.moduleWidth, 1, 20) : 3;
    const int rowHeight =
        request.rowHeight > 0 ? std::clamp(request.rowHeight, 1, 200) : 3 * moduleWidth;
    return matrixSymbol(symbol, moduleWidth, rowHeight);
}

SymbolResult renderDataMatrix(const DataMatrixRequest& request) {
    barcode::DataMatrixOptions options;
    options.rows = request.rows;
    options.columns = request.columns;
    options.rectangle = request.rectangle;
    const barcode::Symbol symbol = barcode::encodeDataMatrix(options, request.content);
    if (!symbol.ok())
        return refused(symbol.error);
    int module = request.moduleSize;
    if (module <= 0) {
        const int side = std::max(symbol.columns, symbol.rows);
        module = request.area > 0 ? std::max(request.area / side, 1) : 6;
    }
    module = std::clamp(module, 1, 100);
    return matrixSymbol(symbol, module, module);
}

SymbolResult renderQrCode(const QrRequest& request) {
    const barcode::Symbol symbol = barcode::encodeQrCode(request.errorLevel, request.content);
    if (!symbol.ok())
        return refused(symbol.error);
    const int cell = std::clamp(request.cellWidth, 1, 100);
    return matrixSymbol(symbol, cell, cell);
}

} // namespace pelmar::preview
