#pragma once

#include "print_driver/barcode_symbol.h"

#include <vector>

namespace pelmar::print_driver {

// The resolution of a printer that does not tell its own, and of a PDF file without another.
inline constexpr int kDefaultPrinterDotsPerInch = 203;

// A barcode's bars on a printer's dot grid: every edge on a dot boundary of the page.
struct DotBars {
    struct Bar {
        int start = 0; // dots from the symbol's left edge
        int width = 0; // dots
    };
    int dotsPerInch = kDefaultPrinterDotsPerInch;
    int moduleDots = 1;
    int left = 0; // dots from the page's left edge
    int top = 0;  // dots from the page's top edge
    int height = 1;
    std::vector<Bar> bars;

    int width() const { return bars.empty() ? 0 : bars.back().start + bars.back().width; }
};

// The nominal module of 0.25 mm (2 dots of a 203-dpi head) in whole dots of a printer: 2 at
// 203 dpi, 3 at 300, 6 at 600; never below 1.
int barcodeModuleDots(int dotsPerInch);

// The modules as bars at the text position (twips from the page's corner, rounded to the nearest
// dot), `heightTwips` tall (at least one dot), each module barcodeModuleDots wide.
DotBars layOutBars(const BarcodeModules& modules, double xTwips, double yTwips, double heightTwips,
                   int dotsPerInch);

} // namespace pelmar::print_driver
