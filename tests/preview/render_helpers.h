#pragma once

#include "preview/barcode_renderer.h"
#include "preview/label_sink.h"
#include "preview/tspl_interpreter.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

namespace pelmar::test {

// Keeps every label the virtual printer prints.
class CollectingSink : public preview::LabelSink {
public:
    void label(const QImage& picture) override { labels.push_back(picture); }
    std::vector<QImage> labels;
};

struct Rendered {
    std::vector<QImage> labels;
    QStringList warnings;
};

// The labels and warnings of a whole stream fed in chunks of chunkSize bytes (0: all at once).
inline Rendered render(const QByteArray& stream, int dpi = 203, qsizetype chunkSize = 0) {
    CollectingSink sink;
    preview::TsplInterpreter interpreter(sink, dpi);
    if (chunkSize <= 0) {
        interpreter.feed(stream);
    } else {
        for (qsizetype at = 0; at < stream.size(); at += chunkSize)
            interpreter.feed(stream.constData() + at, std::min(chunkSize, stream.size() - at));
    }
    interpreter.finish();
    return {sink.labels, interpreter.warnings()};
}

// True when the dot at (x, y) of a label picture is black.
inline bool black(const QImage& label, int x, int y) {
    return label.pixelColor(x, y) == QColor(Qt::black);
}

// Number of black dots inside the rectangle.
inline int blackDots(const QImage& label, int x, int y, int w, int h) {
    int n = 0;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            n += black(label, col, row) ? 1 : 0;
    return n;
}

// True when the label shows exactly the symbol with its top-left corner at (x, y).
inline ::testing::AssertionResult showsSymbol(const QImage& label,
                                              const preview::SymbolResult& symbol, int x, int y) {
    if (!symbol.error.isEmpty() || symbol.bitmap.isEmpty())
        return ::testing::AssertionFailure() << "no reference symbol";
    for (int row = 0; row < symbol.bitmap.height; ++row)
        for (int col = 0; col < symbol.bitmap.width; ++col)
            if (black(label, x + col, y + row) != (symbol.bitmap.at(col, row) != 0))
                return ::testing::AssertionFailure()
                       << "dot " << col << "," << row << " of the symbol at " << x << "," << y;
    return ::testing::AssertionSuccess();
}

// A 40 x 20 mm label (320 x 160 dots) ready for drawing.
inline QByteArray labelHead() {
    return QByteArrayLiteral("SIZE 40 mm,20 mm\r\nGAP 2 mm,0\r\nCLS\r\n");
}

} // namespace pelmar::test
