#pragma once

#include "print_queue/print_system.h"

#include <QByteArray>
#include <QSizeF>

namespace pelmar::print_queue {

// One label page at a printer's dots: rows top first, each (widthDots + 7) / 8 bytes, the
// leftmost dot in the highest bit, 1 a black dot.
struct RasterPage {
    int widthDots = 0;
    int heightDots = 0;
    int dotsPerInch = 0;
    QSizeF points; // the label's exact size in points
    QByteArray rows;
};

// The page `copies` times (one raster page a copy: label drivers ignore copy counts) as a raster
// document of `format` (CupsRaster or PwgRaster), 1 bit a dot, black, compressed. A CUPS raster
// page header is the one that `ppd` (a printer description; empty: none) gives by default, with
// the page's geometry set exactly; a PWG one is black_1. Throws RunError(5) for a page whose rows
// do not match its size, RunError(482) when the raster cannot be written.
QByteArray rasterDocument(const RasterPage& page, int copies, DocumentFormat format,
                          const QByteArray& ppd);

} // namespace pelmar::print_queue
