#include "shell/gui/window_layout.h"

namespace pelmar::gui {

WindowLayout layoutRule(double scaleWidth, double scaleHeight, const std::vector<QSizeF>& panels) {
    WindowLayout layout;
    const double itemTop = scaleHeight - printItemHeight - 50;
    layout.printItem = QRectF(50, itemTop, printItemWidth, printItemHeight);
    const double msgLeft = printItemWidth + 50;
    layout.msg = QRectF(msgLeft, itemTop, scaleWidth - msgLeft - 50, printItemHeight);
    const double dataTop = itemTop - printDataHeight - 50;
    layout.printData = QRectF(50, dataTop, scaleWidth - 100, printDataHeight);
    layout.grid = QRectF(50, 0, scaleWidth - 100, dataTop - 100);
    for (const QSizeF& size : panels)
        layout.panels.emplace_back((scaleWidth - size.width()) / 2,
                                   (scaleHeight - size.height()) / 2);
    return layout;
}

} // namespace pelmar::gui
