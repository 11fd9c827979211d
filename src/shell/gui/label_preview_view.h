#pragma once

#include "shell/app/label_preview.h"

#include <QList>
#include <QRect>
#include <QWidget>

namespace pelmar::gui {

// The picture of a previewed label at one screen pixel per printer dot, between a ruler on top
// and one on the left, each in millimetres with the printer's dots under every centimetre; the
// elements of the cursor's line outlined. It says where the pointer is and what was clicked, in
// the picture's pixels.
class LabelPreviewView : public QWidget {
    Q_OBJECT
public:
    explicit LabelPreviewView(QWidget* parent = nullptr);

    void setPreview(const app::LabelPreview& preview);
    // The boxes outlined (the picture's pixels).
    void setOutlined(QList<QRect> boxes);
    // Where a point of the picture is drawn on this widget.
    QPoint widgetPoint(QPoint picturePixel) const;

    QSize sizeHint() const override;

signals:
    void pointerMoved(QPointF picturePixel);
    void pointerLeft();
    void clicked(QPoint picturePixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The picture's pixel under a widget point, or nullopt outside the picture.
    std::optional<QPointF> picturePixel(QPointF widgetPoint) const;
    void paintRulers(QPainter& painter) const;

    QImage m_picture;
    double m_dotsPerMillimetre = 8.0;
    QList<QRect> m_outlined;
};

} // namespace pelmar::gui
