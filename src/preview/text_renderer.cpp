#include "preview/text_renderer.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>

namespace pelmar::preview {

namespace {

constexpr int kMaxGlyphCache = 4096;

bool canDrawText() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Dots of an image whose grey value is dark.
DotBitmap thresholded(const QImage& image) {
    DotBitmap out(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out.at(x, y) = qGray(line[x]) < 128 ? 1 : 0;
    }
    return out;
}

QFont faceFor(bool chinese, int pixelSize) {
    QFont font(chinese ? QStringLiteral("AR PL UMing TW") : QStringLiteral("Liberation Mono"));
    font.setStyleHint(chinese ? QFont::AnyStyle : QFont::Monospace);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPixelSize(std::max(pixelSize, 1));
    return font;
}

bool isWideCharacter(char32_t c) {
    return c >= 0x1100 &&
           (c <= 0x115F || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
            (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
            (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000);
}

} // namespace

TextRenderer::TextRenderer(int dpi) : m_dpi(dpi) {}

std::optional<TextRenderer::Cell> TextRenderer::cellOf(const QByteArray& font, int dpi) {
    const QByteArray name = font.toUpper();
    const bool high = dpi >= 300;
    struct Entry {
        const char* name;
        Cell low;
        Cell high;
    };
    // Cell sizes in dots of the 203-dpi and the 300-dpi heads.
    static const Entry kFonts[] = {
        {"1", {8, 12, false}, {12, 20, false}},
        {"2", {12, 20, false}, {16, 28, false}},
        {"3", {16, 24, false}, {24, 32, false}},
        {"4", {24, 32, false}, {32, 48, false}},
        {"5", {32, 48, false}, {48, 64, false}},
        {"6", {14, 19, false}, {21, 27, false}},
        {"7", {21, 27, false}, {30, 40, false}},
        {"8", {14, 25, false}, {21, 37, false}},
        {"TST24.BF2", {12, 24, true}, {12, 24, true}},
        {"TSS24.BF2", {12, 24, true}, {12, 24, true}},
        {"TST16.BF2", {8, 16, true}, {8, 16, true}},
        {"TSS16.BF2", {8, 16, true}, {8, 16, true}},
    };
    for (const Entry& e : kFonts)
        if (name == e.name)
            return high ? e.high : e.low;
    return std::nullopt;
}

bool TextRenderer::isKnownFont(const QByteArray& font) {
    const QByteArray name = font.toUpper();
    return name == "0" || name == "ROMAN.TTF" || cellOf(name, 203).has_value();
}

const DotBitmap& TextRenderer::glyph(const Cell& cell, char32_t character, bool wide) {
    const QString key = QStringLiteral("%1x%2:%3:%4")
                            .arg(cell.width)
                            .arg(cell.height)
                            .arg(cell.chinese)
                            .arg(static_cast<uint>(character));
    auto found = m_glyphs.constFind(key);
    if (found != m_glyphs.constEnd())
        return *found;
    if (m_glyphs.size() >= kMaxGlyphCache)
        m_glyphs.clear();
    const int width = cell.width * (wide ? 2 : 1);
    QImage image(width, cell.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QFont font = faceFor(cell.chinese, cell.height);
        const QFontMetrics metrics(font);
        // Shrink a face whose cell is taller or wider than the printer's.
        const int advance =
            std::max(metrics.horizontalAdvance(QString::fromUcs4(&character, 1)), 1);
        if (metrics.height() > cell.height || advance > width) {
            const double scale =
                std::min(double(cell.height) / metrics.height(), double(width) / advance);
            font.setPixelSize(std::max(1, int(cell.height * scale)));
        }
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 0, width, cell.height), Qt::AlignCenter,
                         QString::fromUcs4(&character, 1));
    }
    return *m_glyphs.insert(key, thresholded(image));
}

DotBitmap TextRenderer::renderScalable(int heightDots, int widthPercent, const QString& text,
                                       int maxLength) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPixelSize(std::max(heightDots, 1));
    font.setStretch(std::clamp(widthPercent, 1, 4000));
    const QFontMetrics metrics(font);
    const int width = std::min(metrics.horizontalAdvance(text), maxLength);
    if (width <= 0)
        return {};
    QImage image(width, metrics.height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(0, metrics.ascent(), text);
    }
    return thresholded(image);
}

DotBitmap TextRenderer::render(const QByteArray& font, int xMul, int yMul, const QString& text,
                               int maxLength) {
    if (!canDrawText() || text.isEmpty())
        return {};
    const QByteArray name = font.toUpper();
    if (name == "0" || name == "ROMAN.TTF") {
        // The multipliers of the scalable font are its size in points.
        const int height = std::clamp(yMul, 1, 200) * m_dpi / 72;
        return renderScalable(height, std::clamp(xMul, 1, 200) * 100 / std::clamp(yMul, 1, 200),
                              text, maxLength);
    }
    const std::optional<Cell> cell = cellOf(name, m_dpi);
    if (!cell)
        return {};
    xMul = std::clamp(xMul, 1, 10);
    yMul = std::clamp(yMul, 1, 10);
    const QList<uint> characters = text.toUcs4();
    std::vector<std::pair<char32_t, bool>> cells;
    long long width = 0;
    for (const uint c : characters) {
        const bool wide = cell->chinese && isWideCharacter(c);
        const int w = cell->width * (wide ? 2 : 1) * xMul;
        if (width + w > maxLength)
            break;
        width += w;
        cells.emplace_back(static_cast<char32_t>(c), wide);
    }
    DotBitmap out(static_cast<int>(width), cell->height * yMul);
    int x = 0;
    for (const auto& [character, wide] : cells) {
        const DotBitmap& g = glyph(*cell, character, wide);
        for (int y = 0; y < out.height; ++y)
            for (int gx = 0; gx < g.width * xMul; ++gx)
                if (g.at(gx / xMul, y / yMul))
                    out.at(x + gx, y) = 1;
        x += g.width * xMul;
    }
    return out;
}

} // namespace pelmar::preview
