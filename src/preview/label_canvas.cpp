#include "preview/label_canvas.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pelmar::preview {

namespace {

struct Clip {
    int left, top, right, bottom;
    bool empty() const { return left >= right || top >= bottom; }
};

Clip clip(const DotBitmap& dots, long long x, long long y, long long w, long long h) {
    return Clip{static_cast<int>(std::clamp<long long>(x, 0, dots.width)),
                static_cast<int>(std::clamp<long long>(y, 0, dots.height)),
                static_cast<int>(std::clamp<long long>(x + std::max(w, 0LL), 0, dots.width)),
                static_cast<int>(std::clamp<long long>(y + std::max(h, 0LL), 0, dots.height))};
}

// True when (px, py) lies inside the rectangle with corners rounded by radius r.
bool insideRounded(long long px, long long py, long long left, long long top, long long right,
                   long long bottom, long long r) {
    if (px < left || px >= right || py < top || py >= bottom)
        return false;
    if (r <= 0)
        return true;
    // Distance checks against the corner circles, measured from dot centres.
    const long long cx = px < left + r ? left + r : (px >= right - r ? right - r : px);
    const long long cy = py < top + r ? top + r : (py >= bottom - r ? bottom - r : py);
    if (cx == px || cy == py)
        return true;
    const double dx = (px + 0.5) - cx;
    const double dy = (py + 0.5) - cy;
    return dx * dx + dy * dy <= static_cast<double>(r) * r;
}

} // namespace

void LabelCanvas::touch(int left, int top, int right, int bottom) {
    if (left < right && top < bottom)
        m_touched |= QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect LabelCanvas::takeTouched() {
    return std::exchange(m_touched, QRect());
}

void LabelCanvas::fillRect(int x, int y, int w, int h) {
    const Clip c = clip(m_dots, x, y, w, h);
    touch(c.left, c.top, c.right, c.bottom);
    m_dots.fill(x, y, w, h);
}

void LabelCanvas::clear() {
    std::fill(m_dots.dots.begin(), m_dots.dots.end(), 0);
}

void LabelCanvas::eraseRect(int x, int y, int w, int h) {
    const Clip c = clip(m_dots, x, y, w, h);
    if (c.empty())
        return;
    touch(c.left, c.top, c.right, c.bottom);
    for (int row = c.top; row < c.bottom; ++row)
        std::memset(&m_dots.at(c.left, row), 0, c.right - c.left);
}

void LabelCanvas::invertRect(int x, int y, int w, int h) {
    const Clip c = clip(m_dots, x, y, w, h);
    touch(c.left, c.top, c.right, c.bottom);
    for (int row = c.top; row < c.bottom; ++row)
        for (int col = c.left; col < c.right; ++col)
            m_dots.at(col, row) ^= 1;
}

void LabelCanvas::drawBox(int x, int y, int xEnd, int yEnd, int thickness, int radius) {
    const long long left = std::min(x, xEnd);
    const long long top = std::min(y, yEnd);
    const long long right = std::max(x, xEnd);
    const long long bottom = std::max(y, yEnd);
    const long long t = std::max(thickness, 1);
    if (radius <= 0) {
        fillRect(left, top, right - left, t);
        fillRect(left, bottom - t, right - left, t);
        fillRect(left, top, t, bottom - top);
        fillRect(right - t, top, t, bottom - top);
        return;
    }
    const long long r = std::min<long long>(radius, std::min(right - left, bottom - top) / 2);
    const Clip c = clip(m_dots, left, top, right - left, bottom - top);
    touch(c.left, c.top, c.right, c.bottom);
    for (int row = c.top; row < c.bottom; ++row)
        for (int col = c.left; col < c.right; ++col)
            if (insideRounded(col, row, left, top, right, bottom, r) &&
                !insideRounded(col, row, left + t, top + t, right - t, bottom - t,
                               std::max(r - t, 0LL)))
                m_dots.at(col, row) = 1;
}

void LabelCanvas::drawPiece(const DotBitmap& piece, int x, int y) {
    const Clip c = clip(m_dots, x, y, piece.width, piece.height);
    touch(c.left, c.top, c.right, c.bottom);
    for (int row = c.top; row < c.bottom; ++row) {
        const std::uint8_t* from = &piece.dots[static_cast<size_t>(row - y) * piece.width];
        std::uint8_t* to = &m_dots.at(0, row);
        for (int col = c.left; col < c.right; ++col)
            to[col] |= from[col - x];
    }
}

void LabelCanvas::drawBitmapBytes(int x, int y, long long firstColumn, const unsigned char* bytes,
                                  long long count, BitmapMode mode) {
    if (y < 0 || y >= m_dots.height || count <= 0)
        return;
    std::uint8_t* row = &m_dots.at(0, y);
    const long long start = static_cast<long long>(x) + firstColumn * 8;
    // Only the bytes that can reach the label are looked at.
    long long first = 0;
    if (start < 0)
        first = std::min(count, (-start) / 8);
    touch(static_cast<int>(std::clamp<long long>(start, 0, m_dots.width)), y,
          static_cast<int>(std::clamp<long long>(start + count * 8, 0, m_dots.width)), y + 1);
    for (long long i = first; i < count; ++i) {
        const long long base = start + i * 8;
        if (base >= m_dots.width)
            break;
        const unsigned char byte = bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            const long long col = base + bit;
            if (col < 0 || col >= m_dots.width)
                continue;
            const bool black = ((byte >> (7 - bit)) & 1) == 0;
            switch (mode) {
            case BitmapMode::Overwrite:
                row[col] = black ? 1 : 0;
                break;
            case BitmapMode::Or:
                row[col] |= black ? 1 : 0;
                break;
            case BitmapMode::Xor:
                row[col] ^= black ? 1 : 0;
                break;
            }
        }
    }
}

QImage LabelCanvas::toImage(bool rotate180, bool mirror) const {
    const int w = m_dots.width;
    const int h = m_dots.height;
    QImage image(w, h, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    // Dots per metre of the picture are left to the caller; the pixels are dots.
    const bool flipX = rotate180 != mirror;
    for (int y = 0; y < h; ++y) {
        const int sourceY = rotate180 ? h - 1 - y : y;
        const std::uint8_t* source = &m_dots.dots[static_cast<size_t>(sourceY) * w];
        uchar* line = image.scanLine(y);
        std::memset(line, 0, image.bytesPerLine());
        for (int x = 0; x < w; ++x) {
            const int sourceX = flipX ? w - 1 - x : x;
            if (source[sourceX])
                line[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
        }
    }
    return image;
}

} // namespace pelmar::preview
