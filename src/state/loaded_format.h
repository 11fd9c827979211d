#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <span>

namespace pelmar::state {

// One element table of a loaded format: at most 20 rows (0 to 19); count says how many rows are
// valid (the format's count of that kind: vTextElements.count is VTextCount, and so on). Rows at
// and above count are never read, and a load does not clear them. Every member of a row is the text
// the format file gave; values are read from it when the label is made.
template <class Element> struct ElementTable {
    static constexpr int kCapacity = 20;

    std::array<Element, kCapacity> rows;
    std::int16_t count = 0;

    // The valid rows, in file order.
    std::span<const Element> valid() const {
        return {rows.data(), static_cast<size_t>(count < 0 ? 0 : count)};
    }

    // Stores element as the next row and counts it; false (table unchanged) when it is full.
    bool append(Element element) {
        if (count < 0 || count >= kCapacity)
            return false;
        rows[static_cast<size_t>(count)] = std::move(element);
        ++count;
        return true;
    }
};

// The label settings both loaders write; a load keeps what it does not set.
struct LabelSettings {
    QString width;    // millimetres
    QString height;   // millimetres
    QString gap;      // millimetres
    QString speed;    // inches per second
    QString darkness; // density
};

// The elements of a format written for "Send Command": the arguments of the printer commands.
// line: the element's line in the format file (0 when not read from one).
struct CommandFormat {
    struct Bar {
        QString x, y, width, height;
        int line = 0;
    };
    struct Box {
        QString xStart, yStart, xEnd, yEnd, thickness;
        int line = 0;
    };
    struct Text {
        QString x, y, height, rotation, style, underline, face, content;
        int line = 0;
    };
    struct Barcode {
        QString x, y, symbology, height, readable, rotation, narrow, wide, content;
        int line = 0;
    };
    // PDF417 and DMATRIX: the symbol's own parameters as one text, then the content.
    struct Symbol {
        QString parameters, content;
        int line = 0;
    };
    struct Graphic {
        QString x, y, fileName;
        int line = 0;
    };

    QString labelOffset;
    QString sensorType;
    QString direction;
    QString stripeCommand;
    QString cutterCommand;

    ElementTable<Bar> lineElements;
    ElementTable<Box> boxElements;
    ElementTable<Text> fTextElements;
    ElementTable<Text> vTextElements;
    ElementTable<Barcode> fBarcodeElements;
    ElementTable<Barcode> vBarcodeElements;
    ElementTable<Symbol> pdf417Elements;
    ElementTable<Symbol> dMatrixElements;
    ElementTable<Graphic> graphicElements;
};

// The elements of a format written for "Driver": what is drawn on the printer page. line: the
// element's line in the format file (0 when not read from one).
struct DriverFormat {
    // Lines and boxes: two corners and the pen width.
    struct Stroke {
        QString x1, y1, x2, y2, thickness;
        int line = 0;
    };
    struct Text {
        QString x, y, size, style, lineStyle, face, content;
        int line = 0;
    };
    struct Barcode {
        QString x, y, font, content;
        int line = 0;
    };
    struct Graphic {
        QString x, y, width, height, fileName;
        int line = 0;
    };

    ElementTable<Stroke> lineElements;
    ElementTable<Stroke> boxElements;
    ElementTable<Text> fTextElements;
    ElementTable<Text> vTextElements;
    ElementTable<Barcode> fBarcodeElements;
    ElementTable<Barcode> vBarcodeElements;
    ElementTable<Graphic> graphicElements;
};

// The label format last loaded: the command-mode loader fills `command`, the driver-mode loader
// `driver`; both write the label settings, which are kept between loads of either kind.
struct LoadedFormat {
    LabelSettings labelSettings;
    CommandFormat command;
    DriverFormat driver;
};

} // namespace pelmar::state
