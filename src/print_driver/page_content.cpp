#include "print_driver/page_content.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace pelmar::print_driver {

namespace {

// The rectangle between two corners widened by half the pen on every side.
QRectF strokeArea(const QPen& pen, double x1, double y1, double x2, double y2) {
    const double half = pen.widthF() / 2;
    return QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized().adjusted(-half, -half, half, half);
}

} // namespace

void PageContent::addLine(const QPen& pen, double x1, double y1, double x2, double y2) {
    addDrawn(strokeArea(pen, x1, y1, x2, y2));
    m_operations.push_back([=](QPainter& painter, double) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    });
}

void PageContent::addBox(const QPen& pen, double x1, double y1, double x2, double y2) {
    addDrawn(strokeArea(pen, x1, y1, x2, y2));
    m_operations.push_back([=](QPainter& painter, double) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
    });
}

void PageContent::addPicture(const QImage& image, double x, double y, double width, double height) {
    addDrawn(QRectF(x, y, width, height));
    m_operations.push_back(
        [=](QPainter& painter, double) { painter.drawImage(QRectF(x, y, width, height), image); });
}

void PageContent::addText(const QFont& font, double x, double y, const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineBreak);
    const QFontMetricsF fontMetrics(font);
    double widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, fontMetrics.horizontalAdvance(line));
    addDrawn(QRectF(x, y, widest, fontMetrics.lineSpacing() * static_cast<double>(lines.size())));
    m_operations.push_back([=](QPainter& painter, double) {
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QFontMetricsF metrics(font);
        double top = y;
        for (const QString& line : lines) {
            painter.drawText(QPointF(x, top + metrics.ascent()), line);
            top += metrics.lineSpacing();
        }
    });
}

void PageContent::addBars(DotBars bars) {
    const double twipsPerDot = common::kTwipsPerInch / bars.dotsPerInch;
    addDrawn(QRectF(bars.left * twipsPerDot, bars.top * twipsPerDot, bars.width() * twipsPerDot,
                    bars.height * twipsPerDot));
    m_operations.push_back([bars = std::move(bars)](QPainter& painter, double dotsPerInch) {
        constexpr double kInsetDots = 0.1;
        // In device pixels: the printer's dots need not be whole pixels of the device.
        const double scale = dotsPerInch / bars.dotsPerInch;
        const double top = bars.top * scale;
        const double height = bars.height * scale;
        painter.save();
        painter.resetTransform();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        for (const DotBars::Bar& bar : bars.bars) {
            const double left = (bars.left + bar.start + kInsetDots) * scale;
            const double width = (bar.width - 2 * kInsetDots) * scale;
            painter.drawRect(QRectF(left, top, width, height));
        }
        painter.restore();
    });
}

void PageContent::render(QPainter& painter, double dotsPerInch) const {
    painter.save();
    painter.scale(dotsPerInch / common::kTwipsPerInch, dotsPerInch / common::kTwipsPerInch);
    for (const auto& operation : m_operations)
        operation(painter, dotsPerInch);
    painter.restore();
}

QImage renderPageImage(const PageContent& page, double dotsPerInch) {
    const int width = std::max(
        1, static_cast<int>(std::lround(common::twipsToPixels(page.widthTwips, dotsPerInch))));
    const int height = std::max(
        1, static_cast<int>(std::lround(common::twipsToPixels(page.heightTwips, dotsPerInch))));
    QImage image(width, height, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    page.render(painter, dotsPerInch);
    return image;
}

} // namespace pelmar::print_driver
