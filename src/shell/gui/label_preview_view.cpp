#include "shell/gui/label_preview_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace pelmar::gui {

namespace {

constexpr int kTopRuler = 30;  // two rows: millimetres, then dots
constexpr int kLeftRuler = 34; // the same two numbers above each other
constexpr int kMargin = 6;

} // namespace

LabelPreviewView::LabelPreviewView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("labelPreview"));
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0x9A, 0x9A, 0x9A));
    setPalette(palette);
}

void LabelPreviewView::setPreview(const app::LabelPreview& preview) {
    const QSize before = m_picture.size();
    m_picture = preview.picture;
    m_dotsPerMillimetre = preview.dotsPerMillimetre > 0 ? preview.dotsPerMillimetre : 8.0;
    if (m_picture.size() != before)
        updateGeometry();
    update();
}

void LabelPreviewView::setOutlined(QList<QRect> boxes) {
    m_outlined = std::move(boxes);
    update();
}

QPoint LabelPreviewView::widgetPoint(QPoint picturePixel) const {
    return picturePixel + QPoint(kLeftRuler + kMargin, kTopRuler + kMargin);
}

QSize LabelPreviewView::sizeHint() const {
    const QSize picture = m_picture.isNull() ? QSize(480, 320) : m_picture.size();
    return picture + QSize(kLeftRuler + 2 * kMargin, kTopRuler + 2 * kMargin);
}

std::optional<QPointF> LabelPreviewView::picturePixel(QPointF widgetPoint) const {
    const QPointF pixel = widgetPoint - QPointF(kLeftRuler + kMargin, kTopRuler + kMargin);
    if (m_picture.isNull() || pixel.x() < 0 || pixel.y() < 0 || pixel.x() >= m_picture.width() ||
        pixel.y() >= m_picture.height())
        return std::nullopt;
    return pixel;
}

void LabelPreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintRulers(painter);
    if (m_picture.isNull())
        return;
    const QPoint origin = widgetPoint({0, 0});
    painter.drawImage(origin, m_picture);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x00, 0x90, 0xFF), 2));
    for (const QRect& box : m_outlined)
        painter.drawRect(box.normalized().translated(origin).adjusted(-2, -2, 1, 1));
}

void LabelPreviewView::paintRulers(QPainter& painter) const {
    const QPoint origin = widgetPoint({0, 0});
    const QSize picture = m_picture.isNull() ? QSize() : m_picture.size();
    painter.fillRect(0, 0, width(), kTopRuler, QColor(0xF4, 0xF4, 0xE8));
    painter.fillRect(0, 0, kLeftRuler, height(), QColor(0xF4, 0xF4, 0xE8));
    QFont small = font();
    small.setPointSizeF(7);
    small.setBold(false);
    painter.setFont(small);
    painter.setPen(QColor(0x30, 0x30, 0x30));
    const auto tick = [&](int millimetre) {
        return millimetre % 10 == 0 ? 9 : millimetre % 5 == 0 ? 6 : 3;
    };
    const int across = int(picture.width() / m_dotsPerMillimetre);
    for (int mm = 0; mm <= across; ++mm) {
        const int x = origin.x() + int(std::lround(mm * m_dotsPerMillimetre));
        painter.drawLine(x, kTopRuler - tick(mm), x, kTopRuler - 1);
        if (mm % 10 == 0 && mm > 0) {
            painter.drawText(x + 2, 1, 60, 12, Qt::AlignLeft, QStringLiteral("%1 mm").arg(mm));
            painter.drawText(x + 2, 12, 60, 12, Qt::AlignLeft,
                             QString::number(std::lround(mm * m_dotsPerMillimetre)));
        }
    }
    const int down = int(picture.height() / m_dotsPerMillimetre);
    for (int mm = 0; mm <= down; ++mm) {
        const int y = origin.y() + int(std::lround(mm * m_dotsPerMillimetre));
        painter.drawLine(kLeftRuler - tick(mm), y, kLeftRuler - 1, y);
        if (mm % 10 == 0 && mm > 0) {
            painter.drawText(1, y + 1, kLeftRuler - 4, 12, Qt::AlignLeft,
                             QStringLiteral("%1mm").arg(mm));
            painter.drawText(1, y + 12, kLeftRuler - 4, 12, Qt::AlignLeft,
                             QString::number(std::lround(mm * m_dotsPerMillimetre)));
        }
    }
}

void LabelPreviewView::mouseMoveEvent(QMouseEvent* event) {
    if (const std::optional<QPointF> pixel = picturePixel(event->position()))
        emit pointerMoved(*pixel);
    else
        emit pointerLeft();
}

void LabelPreviewView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (const std::optional<QPointF> pixel = picturePixel(event->position()))
        emit clicked(pixel->toPoint());
}

void LabelPreviewView::leaveEvent(QEvent*) {
    emit pointerLeft();
}

} // namespace pelmar::gui
