#pragma once

#include "preview/dot_bitmap.h"

#include <QImage>
#include <QRect>

namespace pelmar::preview {

// How BITMAP data meets the dots already on the label.
enum class BitmapMode { Overwrite = 0, Or = 1, Xor = 2 };

// The print buffer of one label: drawing operations in dots, clipped to the label.
class LabelCanvas {
public:
    // A white label of width x height dots.
    LabelCanvas(int width, int height) : m_dots(width, height) {}

    int width() const { return m_dots.width; }
    int height() const { return m_dots.height; }
    const DotBitmap& dots() const { return m_dots; }

    // Every dot white again (CLS).
    void clear();
    // Black rectangle with its top-left corner at (x, y), clipped.
    void fillRect(int x, int y, int w, int h);
    // White rectangle (ERASE).
    void eraseRect(int x, int y, int w, int h);
    // Black and white exchanged inside the rectangle (REVERSE).
    void invertRect(int x, int y, int w, int h);
    // Rectangle outline from (x, y) to (xEnd, yEnd), lines `thickness` dots thick growing
    // inward; radius > 0 rounds the corners.
    void drawBox(int x, int y, int xEnd, int yEnd, int thickness, int radius);
    // Adds the black dots of piece with its top-left corner at (x, y).
    void drawPiece(const DotBitmap& piece, int x, int y);
    // Applies `count` bytes of BITMAP data (0 bit black, most significant bit leftmost) whose
    // first byte is byte column `firstColumn` of the row at label row y, the bitmap starting at
    // label column x.
    void drawBitmapBytes(int x, int y, long long firstColumn, const unsigned char* bytes,
                         long long count, BitmapMode mode);

    // The label as a 1-bit picture (colour 0 white, 1 black): turned by 180 degrees when
    // rotate180, flipped left to right when mirror.
    QImage toImage(bool rotate180, bool mirror) const;

    // The dots that drawing, erasing or inverting reached since the last call (clipped to the
    // label, as the canvas lies before any turn), and starts over. Empty when none.
    QRect takeTouched();

private:
    void touch(int left, int top, int right, int bottom);

    DotBitmap m_dots;
    QRect m_touched;
};

} // namespace pelmar::preview
