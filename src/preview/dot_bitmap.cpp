#include "preview/dot_bitmap.h"

#include <algorithm>
#include <cstring>

namespace pelmar::preview {

DotBitmap::DotBitmap(int w, int h)
    : width(std::max(w, 0)), height(std::max(h, 0)),
      dots(static_cast<size_t>(width) * static_cast<size_t>(height), 0) {}

void DotBitmap::fill(int x, int y, int w, int h) {
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = static_cast<int>(std::min<long long>(static_cast<long long>(x) + w, width));
    const int bottom = static_cast<int>(std::min<long long>(static_cast<long long>(y) + h, height));
    for (int row = top; row < bottom; ++row)
        std::memset(&dots[static_cast<size_t>(row) * width + left], 1, std::max(right - left, 0));
}

DotBitmap rotateClockwise(const DotBitmap& bitmap, int quarterTurns) {
    const int turns = ((quarterTurns % 4) + 4) % 4;
    if (turns == 0)
        return bitmap;
    const int w = bitmap.width;
    const int h = bitmap.height;
    DotBitmap out = turns == 2 ? DotBitmap(w, h) : DotBitmap(h, w);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t dot = bitmap.at(x, y);
            if (!dot)
                continue;
            if (turns == 1)
                out.at(h - 1 - y, x) = dot;
            else if (turns == 2)
                out.at(w - 1 - x, h - 1 - y) = dot;
            else
                out.at(y, w - 1 - x) = dot;
        }
    }
    return out;
}

} // namespace pelmar::preview
