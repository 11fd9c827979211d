#pragma once

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

namespace pelmar::print_command {

// A text drawn as a 1-bit picture for the printer's BITMAP command: rows top first, the most
// significant bit the leftmost dot, a 0 bit a black dot, padding bits 1.
struct TextBitmap {
    int x = 0; // dots: where the picture's top-left corner lands on the label
    int y = 0;
    int widthBytes = 0;
    int height = 0;
    QByteArray data; // widthBytes * height bytes
    // The whole (rotated) text cell, which an uncropped picture would cover, in dots.
    int cellWidth = 0;
    int cellHeight = 0;

    bool isEmpty() const { return height == 0; }
};

// Splits a picture into strips of whole byte columns, each cropped to the rows where it holds
// ink, choosing the strips that send the fewest bytes (a command's own text counted); empty byte
// columns are left out. Printed in OR mode, the strips draw exactly the picture.
std::vector<TextBitmap> splitIntoStrips(const TextBitmap& bitmap);

// Draws texts with TrueType faces (found through fontconfig) and crops them to the ink. Keeps
// the fonts it has sized, so a face and height are measured once.
class TextBitmapRenderer {
public:
    // The text at (x, y) dots with a cell (ascent plus descent) fontheight dots high, style 0..3
    // (italic 1, bold 2), underline 0/1, rotated counter-clockwise by 0, 90, 180 or 270 degrees
    // (other values as 0) about the unrotated cell's top-left corner. Only the rows and byte
    // columns that hold ink are kept; dots left of or above the label's origin are dropped.
    // Empty when nothing would be black, when the text is empty or blank, or when fontheight is
    // not above 0.
    TextBitmap render(int x, int y, int fontheight, int rotation, int fontstyle, int underline,
                      const QString& face, const QString& text);

private:
    struct SizedFont {
        QFont font;
        double ascent = 0;
    };
    const SizedFont& sizedFont(const QString& face, int fontheight, int fontstyle, int underline);

    QHash<QString, SizedFont> m_fonts;
};

} // namespace pelmar::print_command
