#include "print_command/text_bitmap.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace pelmar::print_command {

namespace {

// Bounds of what is drawn: a text longer or higher than this lies far beyond any label.
constexpr int kMaxImageWidth = 8192;
constexpr int kMaxImageHeight = 4096;
// Dots per metre of 72 dpi, at which a point is a pixel, so font sizes can be fractional.
constexpr int kDotsPerMetre72 = 2835;

bool isBlank(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' '; });
}

// Where dot (dx, dy) of the unrotated cell lands after the counter-clockwise rotation about the
// cell's top-left corner (a dot is the square from its coordinates to the next ones).
void rotate(int rotation, int dx, int dy, int& rx, int& ry) {
    switch (rotation) {
    case 90:
        rx = dy;
        ry = -dx - 1;
        break;
    case 180:
        rx = -dx - 1;
        ry = -dy - 1;
        break;
    case 270:
        rx = -dy - 1;
        ry = dx;
        break;
    default:
        rx = dx;
        ry = dy;
    }
}

int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

const TextBitmapRenderer::SizedFont&
TextBitmapRenderer::sizedFont(const QString& face, int fontheight, int fontstyle, int underline) {
    const QString key = QStringLiteral("%1|%2|%3|%4")
                            .arg(face)
                            .arg(fontheight)
                            .arg(fontstyle & 3)
                            .arg(underline != 0);
    auto found = m_fonts.constFind(key);
    if (found != m_fonts.constEnd())
        return *found;

    QFont font(face);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setItalic((fontstyle & 1) != 0);
    font.setBold((fontstyle & 2) != 0);
    font.setUnderline(underline != 0);
    // Like a font created with a positive height: the cell (ascent plus descent) is fontheight.
    font.setPointSizeF(fontheight);
    QImage probe(1, 1, QImage::Format_Grayscale8);
    probe.setDotsPerMeterX(kDotsPerMetre72);
    probe.setDotsPerMeterY(kDotsPerMetre72);
    const QFontMetricsF measured(font, &probe);
    const double cell = measured.ascent() + measured.descent();
    if (cell > 0)
        font.setPointSizeF(fontheight * fontheight / cell);
    SizedFont sized;
    sized.font = font;
    sized.ascent = QFontMetricsF(font, &probe).ascent();
    return *m_fonts.insert(key, sized);
}

namespace {

// The ink dots of a drawn text in label coordinates, and their bounds.
struct Ink {
    std::vector<std::pair<int, int>> dots;
    int minX = 0, minY = 0, maxX = -1, maxY = -1;
};

Ink inkOf(const QImage& image, int rotation, int margin, int x, int y) {
    Ink ink;
    for (int row = 0; row < image.height(); ++row) {
        const uchar* line = image.constScanLine(row);
        for (int column = 0; column < image.width(); ++column) {
            if (line[column] >= 128)
                continue;
            int rx = 0, ry = 0;
            rotate(rotation, column - margin, row - margin, rx, ry);
            const int lx = x + rx;
            const int ly = y + ry;
            if (lx < 0 || ly < 0)
                continue;
            if (ink.maxX < 0) {
                ink.minX = ink.maxX = lx;
                ink.minY = ink.maxY = ly;
            } else {
                ink.minX = std::min(ink.minX, lx);
                ink.maxX = std::max(ink.maxX, lx);
                ink.minY = std::min(ink.minY, ly);
                ink.maxY = std::max(ink.maxY, ly);
            }
            ink.dots.emplace_back(lx, ly);
        }
    }
    return ink;
}

// Sets the size of the rotated cell; returns the cell's left edge.
int placeCell(TextBitmap& out, int rotation, int x, int cellWidth, int cellHeight) {
    int cellLeft = x;
    switch (rotation) {
    case 90:
        out.cellWidth = cellHeight;
        out.cellHeight = cellWidth;
        break;
    case 180:
        cellLeft = x - cellWidth;
        out.cellWidth = cellWidth;
        out.cellHeight = cellHeight;
        break;
    case 270:
        cellLeft = x - cellHeight;
        out.cellWidth = cellHeight;
        out.cellHeight = cellWidth;
        break;
    default:
        out.cellWidth = cellWidth;
        out.cellHeight = cellHeight;
    }
    return cellLeft;
}

} // namespace

TextBitmap TextBitmapRenderer::render(int x, int y, int fontheight, int rotation, int fontstyle,
                                      int underline, const QString& face, const QString& text) {
    TextBitmap out;
    if (text.isEmpty() || isBlank(text) || fontheight <= 0)
        return out;
    if (rotation != 90 && rotation != 180 && rotation != 270)
        rotation = 0;

    const SizedFont& sized = sizedFont(face, fontheight, fontstyle, underline);
    QImage probe(1, 1, QImage::Format_Grayscale8);
    probe.setDotsPerMeterX(kDotsPerMetre72);
    probe.setDotsPerMeterY(kDotsPerMetre72);
    const QFontMetricsF metrics(sized.font, &probe);
    const int cellWidth = static_cast<int>(std::ceil(metrics.horizontalAdvance(text)));
    const int cellHeight = std::min(fontheight, kMaxImageHeight);
    // Italic and some glyphs reach beyond the advance: leave room on every side.
    const int margin = std::max(4, fontheight / 2);
    const int imageWidth = std::min(cellWidth + 2 * margin, kMaxImageWidth);
    const int imageHeight = std::min(cellHeight + 2 * margin, kMaxImageHeight);

    QImage image(imageWidth, imageHeight, QImage::Format_Grayscale8);
    if (image.isNull())
        return out;
    image.setDotsPerMeterX(kDotsPerMetre72);
    image.setDotsPerMeterY(kDotsPerMetre72);
    image.fill(255);
    {
        QPainter painter(&image);
        painter.setFont(sized.font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(margin, margin + sized.ascent), text);
    }

    const Ink ink = inkOf(image, rotation, margin, x, y);
    // The rotated whole cell, whose byte columns the cropped picture keeps.
    const int cellLeft = placeCell(out, rotation, x, cellWidth, cellHeight);
    if (ink.dots.empty())
        return out;

    int left = cellLeft + 8 * floorDiv(ink.minX - cellLeft, 8);
    if (left < 0)
        left = ink.minX;
    out.x = left;
    out.y = ink.minY;
    out.widthBytes = (ink.maxX - left) / 8 + 1;
    out.height = ink.maxY - ink.minY + 1;
    out.data = QByteArray(out.widthBytes * out.height, char(0xFF));
    char* bytes = out.data.data();
    for (const auto& [lx, ly] : ink.dots) {
        const int column = lx - left;
        bytes[(ly - ink.minY) * out.widthBytes + column / 8] &=
            static_cast<char>(~(0x80 >> (column % 8)));
    }
    return out;
}

std::vector<TextBitmap> splitIntoStrips(const TextBitmap& bitmap) {
    // About the bytes of "BITMAP x,y,w,h,1," and the line end around each strip's data.
    constexpr long long kCommandBytes = 24;
    const int columns = bitmap.widthBytes;
    std::vector<int> top(static_cast<size_t>(columns), -1);
    std::vector<int> bottom(static_cast<size_t>(columns), -1);
    const auto* bytes = reinterpret_cast<const unsigned char*>(bitmap.data.constData());
    for (int row = 0; row < bitmap.height; ++row) {
        for (int column = 0; column < columns; ++column) {
            if (bytes[row * columns + column] == 0xFF)
                continue;
            auto& first = top[static_cast<size_t>(column)];
            if (first < 0)
                first = row;
            bottom[static_cast<size_t>(column)] = row;
        }
    }

    // cost[j]: the fewest bytes for columns before j; start[j]: where the last strip begins
    // (-1: column j - 1 is empty and skipped).
    std::vector<long long> cost(static_cast<size_t>(columns) + 1, 0);
    std::vector<int> start(static_cast<size_t>(columns) + 1, -1);
    for (int end = 1; end <= columns; ++end) {
        const size_t last = static_cast<size_t>(end - 1);
        long long best = top[last] < 0 ? cost[last] : -1;
        int bestStart = -1;
        int low = bitmap.height, high = -1;
        for (int first = end - 1; first >= 0; --first) {
            const size_t at = static_cast<size_t>(first);
            if (top[at] >= 0) {
                low = std::min(low, top[at]);
                high = std::max(high, bottom[at]);
            }
            if (top[at] < 0 || high < 0)
                continue; // a strip begins and ends on a column with ink
            const long long candidate =
                cost[at] + kCommandBytes + static_cast<long long>(end - first) * (high - low + 1);
            if (best < 0 || candidate < best) {
                best = candidate;
                bestStart = first;
            }
        }
        cost[static_cast<size_t>(end)] = best;
        start[static_cast<size_t>(end)] = bestStart;
    }

    std::vector<TextBitmap> strips;
    for (int end = columns; end > 0;) {
        const int first = start[static_cast<size_t>(end)];
        if (first < 0) {
            --end;
            continue;
        }
        int low = bitmap.height, high = -1;
        for (int column = first; column < end; ++column) {
            if (top[static_cast<size_t>(column)] >= 0) {
                low = std::min(low, top[static_cast<size_t>(column)]);
                high = std::max(high, bottom[static_cast<size_t>(column)]);
            }
        }
        TextBitmap strip;
        strip.x = bitmap.x + 8 * first;
        strip.y = bitmap.y + low;
        strip.widthBytes = end - first;
        strip.height = high - low + 1;
        strip.cellWidth = bitmap.cellWidth;
        strip.cellHeight = bitmap.cellHeight;
        strip.data.reserve(strip.widthBytes * strip.height);
        for (int row = low; row <= high; ++row)
            strip.data.append(bitmap.data.constData() + row * columns + first, strip.widthBytes);
        strips.push_back(std::move(strip));
        end = first;
    }
    std::reverse(strips.begin(), strips.end());
    return strips;
}

} // namespace pelmar::print_command
