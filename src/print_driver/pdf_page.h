#pragma once

#include "print_driver/page_content.h"

#include <QPageSize>

class QPdfWriter;

namespace pelmar::print_driver {

// PDF pages are drawn at this resolution; bars are whole pixels of it.
constexpr int kPdfDotsPerInch = 1200;

// The page's exact size in points, never snapped to a standard paper. Throws RunError(5) for a
// size that is not positive.
QPageSize pdfPageSize(const PageContent& page);

// Resolution, margins, orientation and creator of a PDF writer for label pages.
void preparePdfWriter(QPdfWriter& writer);

} // namespace pelmar::print_driver
