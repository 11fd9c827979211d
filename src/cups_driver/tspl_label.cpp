#include "cups_driver/tspl_label.h"

#include "common/numbers.h"
#include "cups_driver/label_setup.h"

#include <algorithm>
#include <cmath>

namespace pelmar::cups_driver {

namespace {

QByteArray millimetres(double value) {
    return common::shortestDecimal(std::round(value * 100) / 100).toLatin1() + " mm";
}

// TSPL's BITMAP bits of one raster row, `dots` wide: 0 = black, the last byte padded with 1s.
QByteArray bitmapRow(const unsigned char* row, int dots, Ink ink) {
    const int bytes = (dots + 7) / 8;
    QByteArray out(bytes, '\xff');
    auto* bits = reinterpret_cast<unsigned char*>(out.data());
    switch (ink) {
    case Ink::OneBitBlack:
        for (int i = 0; i < bytes; ++i)
            bits[i] = static_cast<unsigned char>(~row[i]);
        break;
    case Ink::OneBitWhite:
        std::copy(row, row + bytes, bits);
        break;
    case Ink::ByteBlack:
    case Ink::ByteWhite:
        for (int x = 0; x < dots; ++x) {
            const bool black = ink == Ink::ByteBlack ? row[x] >= 128 : row[x] < 128;
            if (black)
                bits[x / 8] &= static_cast<unsigned char>(~(0x80 >> (x % 8)));
        }
        break;
    }
    if (dots % 8)
        bits[bytes - 1] |= static_cast<unsigned char>(0xff >> (dots % 8));
    return out;
}

bool hasInk(const QByteArray& bitmapRow) {
    return std::any_of(bitmapRow.begin(), bitmapRow.end(), [](char c) { return c != '\xff'; });
}

QByteArray setupLines(const LabelSetup& setup) {
    QByteArray out;
    out += "SIZE " + millimetres(setup.widthMm) + "," + millimetres(setup.heightMm) + "\r\n";
    const QByteArray gap = millimetres(setup.gapTenthsMm / 10.0) + ",0\r\n";
    switch (setup.sensing) {
    case Sensing::Gap:
        if (setup.gapTenthsMm > 0)
            out += "GAP " + gap;
        break;
    case Sensing::BlackMark:
        if (setup.gapTenthsMm > 0)
            out += "BLINE " + gap;
        break;
    case Sensing::Continuous:
        out += "GAP 0,0\r\n";
        break;
    }
    if (setup.speed > 0)
        out += "SPEED " + QByteArray::number(setup.speed) + "\r\n";
    if (setup.density >= 0)
        out += "DENSITY " + QByteArray::number(setup.density) + "\r\n";
    out += "DIRECTION " + QByteArray::number(setup.direction) + "\r\nCLS\r\n";
    return out;
}

} // namespace

QByteArray tsplLabel(const cups_page_header2_t& header, const QByteArray& pixels) {
    const LabelSetup setup = labelSetupOf(header);
    const int dots = std::min(static_cast<int>(header.cupsWidth), setup.labelWidth);
    const int rows = std::min(static_cast<int>(header.cupsHeight), setup.labelHeight);
    const qsizetype stride = header.cupsBytesPerLine;
    const QByteArray white((dots + 7) / 8, '\xff');

    QByteArray bitmap;
    int firstInked = -1;
    int lastInked = -1;
    for (int y = 0; y < rows; ++y) {
        const qsizetype at = y * stride;
        const QByteArray row =
            at + stride <= pixels.size()
                ? bitmapRow(reinterpret_cast<const unsigned char*>(pixels.constData() + at), dots,
                            setup.ink)
                : white;
        if (!hasInk(row)) {
            if (firstInked >= 0)
                bitmap += row; // dropped again when no inked row follows
            continue;
        }
        if (firstInked < 0)
            firstInked = y;
        lastInked = y;
        bitmap += row;
    }

    QByteArray out = setupLines(setup);
    if (firstInked >= 0) {
        const int height = lastInked - firstInked + 1;
        bitmap.truncate(static_cast<qsizetype>(height) * white.size());
        out += "BITMAP 0," + QByteArray::number(firstInked) + "," +
               QByteArray::number(white.size()) + "," + QByteArray::number(height) + ",0,";
        out += bitmap;
        out += "\r\n";
    }
    out += "PRINT 1,1\r\n";
    return out;
}

} // namespace pelmar::cups_driver
