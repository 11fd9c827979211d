#include "print_driver/page_content.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <cmath>

namespace pelmar::print_driver {

void PageContent::addLine(const QPen& pen, double x1, double y1, double x2, double y2) {
    m_operations.push_back([=](QPainter& painter, double) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    });
}

void PageContent::addBox(const QPen& pen, double x1, double y1, double x2, double y2) {
    m_operations.push_back([=](QPainter& painter, double) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
    });
}

void PageContent::addPicture(const QImage& image, double x, double y, double width, double height) {
    m_operations.push_back(
        [=](QPainter& painter, double) { painter.drawImage(QRectF(x, y, width, height), image); });
}

void PageContent::addText(const QFont& font, double x, double y, const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineBreak);
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

void PageContent::addBars(std::vector<bool> modules, int moduleDots, double x, double y,
                          double height) {
    m_operations.push_back([modules = std::move(modules), moduleDots, x, y,
                            height](QPainter& painter, double dotsPerInch) {
        // In device pixels, so that every module is a whole number of pixels wide.
        const double scale = dotsPerInch / common::kTwipsPerInch;
        const int module =
            std::max(1, static_cast<int>(std::lround(moduleDots * kTwipsPerDot * scale)));
        const int left = static_cast<int>(std::lround(x * scale));
        const int top = static_cast<int>(std::lround(y * scale));
        const int barHeight = std::max(1, static_cast<int>(std::lround(height * scale)));
        painter.save();
        painter.resetTransform();
        painter.setRenderHint(QPainter::Antialiasing, false);
        size_t i = 0;
        while (i < modules.size()) {
            if (!modules[i]) {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < modules.size() && modules[end])
                ++end;
            painter.fillRect(QRect(left + static_cast<int>(i) * module, top,
                                   static_cast<int>(end - i) * module, barHeight),
                             Qt::black);
            i = end;
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
