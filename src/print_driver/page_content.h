#pragma once

#include "common/units.h"
#include "print_driver/bar_layout.h"

#include <QFont>
#include <QImage>
#include <QPen>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class QPainter;

namespace pelmar::print_driver {

using common::kTwipsPerDot;

// One drawn label page: its size in twips and the drawing in order, replayable on any painter
// (a PDF page, a picture) as often as the copies ask.
class PageContent {
public:
    std::int32_t widthTwips = 0;
    std::int32_t heightTwips = 0;

    void addLine(const QPen& pen, double x1, double y1, double x2, double y2);
    void addBox(const QPen& pen, double x1, double y1, double x2, double y2);
    void addPicture(const QImage& image, double x, double y, double width, double height);
    // Text lines (split at CR LF, CR or LF) with the first line's top at (x, y); font pixel
    // sizes are in twips.
    void addText(const QFont& font, double x, double y, const QString& text);
    // Bars on a printer's dot grid. Each bar is drawn a tenth of a dot narrower on either side, so
    // that a rasteriser at the printer's resolution fills exactly its dots whether it paints the
    // pixels a shape touches or those whose centre it covers.
    void addBars(DotBars bars);

    bool isEmpty() const { return m_operations.empty(); }

    // Where the operations added since the last call lie, in twips, and starts over (empty when
    // none). A preview asks it after each element to learn where the element lies.
    QRectF takeDrawnArea() { return std::exchange(m_drawn, QRectF()); }

    // Draws the page on a painter whose device has dotsPerInch; the painter's origin is the top
    // left corner of the page.
    void render(QPainter& painter, double dotsPerInch) const;

private:
    void addDrawn(const QRectF& area) { m_drawn |= area.normalized(); }

    std::vector<std::function<void(QPainter&, double)>> m_operations;
    QRectF m_drawn;
};

// The page drawn into a white picture of its size at dotsPerInch (tests, previews).
QImage renderPageImage(const PageContent& page, double dotsPerInch);

} // namespace pelmar::print_driver
