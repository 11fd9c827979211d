#pragma once

#include <QByteArray>
#include <cups/raster.h>

namespace pelmar::cups_driver {

// The TSPL of one raster page as one label: SIZE, GAP or BLINE, SPEED, DENSITY, DIRECTION (each
// set-up line only where the header names a value), CLS, one BITMAP of the rows from the first
// to the last that hold ink (none for a blank page; TSPL's BITMAP prints a 0 bit black), and
// PRINT 1,1. `pixels` holds the page's rows of header.cupsBytesPerLine bytes, top row first;
// rows it lacks are white. A page wider or taller than the label is cut to the label; a smaller
// one lies at the label's top-left corner. Throws what labelSetupOf throws.
QByteArray tsplLabel(const cups_page_header2_t& header, const QByteArray& pixels);

} // namespace pelmar::cups_driver
