#pragma once

#include <QRect>
#include <QRectF>

class QWidget;

namespace pelmar::gui {

// Twips (1/1440 inch) per pixel of a screen: 15 at 96 dpi, fewer on a denser screen.
double twipsPerPixel(const QWidget* widget);

// A length in twips as whole pixels of the widget's screen (rounded to the nearest pixel).
int toPixels(double twips, const QWidget* widget);

// A length in pixels as twips of the widget's screen.
double toTwips(int pixels, const QWidget* widget);

// A rectangle in twips (left, top, width, height) as pixels of the widget's screen.
QRect toPixels(const QRectF& twips, const QWidget* widget);

} // namespace pelmar::gui
