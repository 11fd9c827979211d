#include "shell/gui/window_look.h"

#include "shell/gui/text_fit.h"
#include "shell/gui/twips.h"

#include <QAbstractButton>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

namespace pelmar::gui {

QFont windowFont(double points) {
    QFont font(QStringLiteral("新細明體"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

namespace {

void drawPicture(QPainter& p, IconKind kind) {
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(40, 40, 40), 1.2);
    p.setPen(outline);
    switch (kind) {
    case IconKind::Window:
    case IconKind::Print:
        // A label printer: body, the label coming out, a barcode on it.
        p.setBrush(QColor(90, 110, 140));
        p.drawRoundedRect(QRectF(2, 6, 20, 11), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 14, 12, 9));
        p.setPen(QPen(Qt::black, 1));
        for (double x : {8.0, 9.5, 11.5, 12.5, 14.5, 16.0})
            p.drawLine(QPointF(x, 16), QPointF(x, 21));
        if (kind == IconKind::Window) {
            p.setPen(outline);
            p.setBrush(QColor(230, 40, 40));
            p.drawEllipse(QRectF(16, 1, 7, 7));
        }
        break;
    case IconKind::Cancel:
        p.setPen(QPen(QColor(200, 20, 20), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(19, 19));
        p.drawLine(QPointF(19, 5), QPointF(5, 19));
        break;
    case IconKind::Ok:
        p.setPen(QPen(QColor(20, 140, 20), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(4, 13), QPointF(10, 19), QPointF(20, 5)}));
        break;
    case IconKind::Exit: {
        p.setBrush(QColor(160, 110, 60));
        p.drawRect(QRectF(4, 3, 11, 18));
        p.setPen(QPen(QColor(20, 100, 20), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(11, 12), QPointF(21, 12));
        p.drawPolyline(QPolygonF({QPointF(17, 8), QPointF(21, 12), QPointF(17, 16)}));
        break;
    }
    case IconKind::Open:
        p.setBrush(QColor(240, 200, 80));
        p.drawPolygon(QPolygonF({QPointF(2, 6), QPointF(9, 6), QPointF(11, 8), QPointF(21, 8),
                                 QPointF(21, 20), QPointF(2, 20)}));
        break;
    case IconKind::Edit:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 2, 13, 19));
        p.setPen(QPen(QColor(120, 120, 120), 1));
        for (double y : {7.0, 10.0, 13.0})
            p.drawLine(QPointF(6, y), QPointF(14, y));
        p.setPen(QPen(QColor(30, 60, 200), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 20), QPointF(21, 9));
        break;
    case IconKind::Save:
        p.setBrush(QColor(50, 80, 160));
        p.drawRect(QRectF(3, 3, 18, 18));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 10, 7));
        break;
    }
}

} // namespace

QIcon makeIcon(IconKind kind) {
    QIcon icon;
    for (int size : {24, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.scale(size / 24.0, size / 24.0);
        drawPicture(painter, kind);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

void styleButton(QAbstractButton* button, const QColor& colour, IconKind icon) {
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 2px outset "
                                         "%2; border-radius: 3px; }"
                                         "QPushButton:pressed { border-style: inset; }"
                                         "QPushButton:disabled { color: #808080; }"
                                         "QPushButton:focus { border-color: #404040; }")
                              .arg(colour.name(), colour.darker(130).name()));
    button->setIcon(makeIcon(icon));
    button->setIconSize(QSize(24, 24));
    wrapCaption(button);
}

void stylePanel(QWidget* panel) {
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colours::lightGrey);
    panel->setPalette(palette);
    // The panel lies over the grid: its whole rectangle, the title's strip included, is painted,
    // so no grid text shows through around the title. The selector names the panel alone, so
    // the groups inside keep their own look.
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(QStringLiteral("#%2 { border: 2px groove #808080; margin-top: 0;"
                                        " padding-top: 0.8em; background-color: %1; }"
                                        "#%2::title { color: red; subcontrol-origin: border;"
                                        " subcontrol-position: top left; left: 8px; top: 2px;"
                                        " padding: 0 3px; background-color: %1; }")
                             .arg(colours::lightGrey.name(), panel->objectName()));
}

void placeTwips(QWidget* widget, double left, double top, double width, double height) {
    widget->setGeometry(toPixels(QRectF(left, top, width, height), widget));
}

} // namespace pelmar::gui
