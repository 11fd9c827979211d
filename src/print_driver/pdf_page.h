#pragma once

#include "print_driver/page_content.h"

#include <QPageSize>
#include <QSizeF>

class QPainter;
class QPdfWriter;

namespace pelmar::print_driver {

// PDF pages are drawn at this resolution; bars are whole pixels of it.
constexpr int kPdfDotsPerInch = 1200;

// The page's exact size in points, never snapped to a standard paper. Throws RunError(5) for a
// size that is not positive.
QPageSize pdfPageSize(const PageContent& page);

// The page's exact size in points.
QSizeF pdfPagePoints(const PageContent& page);

// Resolution, margins, orientation and creator of a PDF writer for label pages.
void preparePdfWriter(QPdfWriter& writer);

// Draws the page on the writer's current page with its top left corner at the top left corner
// of the exact page (the writer places its origin at the top of its whole-point page, which an
// ExactMediaBoxDevice makes the exact size).
void renderPdfPage(QPainter& painter, const QPdfWriter& writer, const PageContent& page);

} // namespace pelmar::print_driver
