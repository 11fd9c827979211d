#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <vector>

namespace pelmar::gui {

// Designed sizes of the permanent controls, in twips.
inline constexpr double printItemWidth = 1695;
inline constexpr double printItemHeight = 330;
inline constexpr double printDataHeight = 645;
inline constexpr double designedClientWidth = 7680;
inline constexpr double designedClientHeight = 7470;
// The client area of the window when interactive mode opens: the setup screen (8145 high) shows
// whole and every status text fits the status line in its 12 pt font.
inline constexpr double firstClientWidth = 9900;
inline constexpr double firstClientHeight = 8700;
// The status line's font, and the smallest it shrinks to so that a text fits a narrow window.
inline constexpr double statusPoints = 12;
inline constexpr double minimumStatusPoints = 8;

// Where the layout rule puts the permanent controls and the panels, in twips.
struct WindowLayout {
    QRectF printItem;            // lblPrintItem
    QRectF msg;                  // lblMsg
    QRectF printData;            // lblPrintData
    QRectF grid;                 // MSFlexGrid1
    std::vector<QPointF> panels; // top-left corner of each panel, in the order given
};

// The layout rule for a client area of scaleWidth x scaleHeight twips: the grid above a
// full-width record line, the progress cell and status line along the bottom with 50-twip
// margins, and every panel centred (a panel larger than the area gets a negative position).
WindowLayout layoutRule(double scaleWidth, double scaleHeight, const std::vector<QSizeF>& panels);

} // namespace pelmar::gui
