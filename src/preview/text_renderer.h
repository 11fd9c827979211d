#pragma once

#include "preview/dot_bitmap.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace pelmar::preview {

// Draws the printer's built-in fonts as dots. Fonts "1" to "8" and the Chinese .BF2 fonts are
// fixed-pitch cells (a wide character takes two cells); "0" and "ROMAN.TTF" are scalable,
// their multipliers taken as points. Needs a QGuiApplication for the faces; without one every
// text comes back empty.
class TextRenderer {
public:
    // dpi is 203 or 300 (the cell sizes of the fonts differ).
    explicit TextRenderer(int dpi = 203);

    // True when font names a font the printer has (letter case ignored).
    static bool isKnownFont(const QByteArray& font);

    // The text in the font, enlarged xMul times across and yMul times down (1 to 10); at most
    // maxLength dots long (further characters are left off). Empty when no face can be drawn.
    DotBitmap render(const QByteArray& font, int xMul, int yMul, const QString& text,
                     int maxLength = 16384);

private:
    struct Cell {
        int width;
        int height;
        bool chinese;
    };
    static std::optional<Cell> cellOf(const QByteArray& font, int dpi);
    const DotBitmap& glyph(const Cell& cell, char32_t character, bool wide);
    DotBitmap renderScalable(int heightDots, int widthPercent, const QString& text, int maxLength);

    int m_dpi;
    QHash<QString, DotBitmap> m_glyphs;
};

} // namespace pelmar::preview
