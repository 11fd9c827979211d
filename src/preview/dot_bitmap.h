#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelmar::preview {

// A rectangle of printer dots, one byte a dot: 1 black, 0 white. Rows top first.
struct DotBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> dots;

    DotBitmap() = default;
    // A white bitmap of width x height dots (negative sizes count as 0).
    DotBitmap(int w, int h);

    bool isEmpty() const { return width <= 0 || height <= 0; }
    std::uint8_t at(int x, int y) const { return dots[static_cast<std::size_t>(y) * width + x]; }
    std::uint8_t& at(int x, int y) { return dots[static_cast<std::size_t>(y) * width + x]; }
    // Makes the rectangle black, clipped to the bitmap; sizes in dots.
    void fill(int x, int y, int w, int h);
};

// The bitmap turned clockwise by quarterTurns x 90 degrees (any integer, taken modulo 4).
DotBitmap rotateClockwise(const DotBitmap& bitmap, int quarterTurns);

} // namespace pelmar::preview
