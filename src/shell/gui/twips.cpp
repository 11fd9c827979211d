#include "shell/gui/twips.h"
#include "common/units.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace pelmar::gui {

double twipsPerPixel(const QWidget* widget) {
    const QScreen* screen = widget != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
    return common::kTwipsPerInch / (dpi > 0 ? dpi : 96.0);
}

int toPixels(double twips, const QWidget* widget) {
    return static_cast<int>(std::lround(twips / twipsPerPixel(widget)));
}

double toTwips(int pixels, const QWidget* widget) {
    return pixels * twipsPerPixel(widget);
}

QRect toPixels(const QRectF& twips, const QWidget* widget) {
    // Edges are rounded rather than sizes so that neighbours that touch in twips touch on screen.
    const double scale = twipsPerPixel(widget);
    const int left = static_cast<int>(std::lround(twips.left() / scale));
    const int top = static_cast<int>(std::lround(twips.top() / scale));
    const int right = static_cast<int>(std::lround((twips.left() + twips.width()) / scale));
    const int bottom = static_cast<int>(std::lround((twips.top() + twips.height()) / scale));
    return QRect(left, top, right - left, bottom - top);
}

} // namespace pelmar::gui
