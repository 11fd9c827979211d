#include "common/pcx_decoder.h"

#include "common/run_error.h"

#include <QColor>
#include <vector>

namespace pelmar::common {

namespace {

constexpr int kHeaderSize = 128;

[[noreturn]] void fail(const char* reason) {
    throw RunError(InvalidPicture,
                   errorDescription(InvalidPicture) + QStringLiteral(" (PCX: %1)").arg(reason));
}

int u16(const QByteArray& bytes, int offset) {
    return static_cast<unsigned char>(bytes[offset]) |
           (static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

// The run-length decoded scan lines; missing bytes at the end stay white (0xFF).
std::vector<unsigned char> decodeRuns(const QByteArray& bytes, size_t wanted, qsizetype end) {
    std::vector<unsigned char> out(wanted, 0xFF);
    size_t o = 0;
    qsizetype i = kHeaderSize;
    while (o < wanted && i < end) {
        const unsigned char c = static_cast<unsigned char>(bytes[i++]);
        if ((c & 0xC0) == 0xC0) {
            if (i >= end)
                break;
            const unsigned char value = static_cast<unsigned char>(bytes[i++]);
            for (int n = c & 0x3F; n > 0 && o < wanted; --n)
                out[o++] = value;
        } else {
            out[o++] = c;
        }
    }
    return out;
}

QRgb headerColour(const QByteArray& bytes, int index) {
    const int at = 16 + index * 3;
    return qRgb(static_cast<unsigned char>(bytes[at]), static_cast<unsigned char>(bytes[at + 1]),
                static_cast<unsigned char>(bytes[at + 2]));
}

// The colours of a picture of one colour plane or 16 colours (from the header) or 256 colours
// (0x0C and 256 colours in the last 769 bytes, which then end the scan lines at dataEnd; a
// grey scale without them). A true-colour picture has none.
QList<QRgb> paletteOf(const QByteArray& bytes, bool mono, bool ega, bool indexed,
                      qsizetype& dataEnd) {
    QList<QRgb> palette;
    if (indexed) {
        if (bytes.size() >= kHeaderSize + 769 && bytes[bytes.size() - 769] == 0x0C) {
            dataEnd = bytes.size() - 769;
            for (int k = 0; k < 256; ++k) {
                const qsizetype at = dataEnd + 1 + k * 3;
                palette << qRgb(static_cast<unsigned char>(bytes[at]),
                                static_cast<unsigned char>(bytes[at + 1]),
                                static_cast<unsigned char>(bytes[at + 2]));
            }
        } else {
            for (int k = 0; k < 256; ++k)
                palette << qRgb(k, k, k);
        }
    } else if (mono) {
        QRgb black = headerColour(bytes, 0);
        QRgb white = headerColour(bytes, 1);
        if (black == white) { // many writers leave the palette empty
            black = qRgb(0, 0, 0);
            white = qRgb(255, 255, 255);
        }
        palette << black << white;
    } else if (ega) {
        for (int k = 0; k < 16; ++k)
            palette << headerColour(bytes, k);
    }
    return palette;
}

} // namespace

QImage decodePcx(const QByteArray& bytes) {
    if (bytes.size() < kHeaderSize || static_cast<unsigned char>(bytes[0]) != 0x0A)
        fail("not a PCX file");
    if (bytes[2] != 1)
        fail("not run-length encoded");
    const int bitsPerPixel = static_cast<unsigned char>(bytes[3]);
    const int width = u16(bytes, 8) - u16(bytes, 4) + 1;
    const int height = u16(bytes, 10) - u16(bytes, 6) + 1;
    const int planes = static_cast<unsigned char>(bytes[65]);
    const int bytesPerLine = u16(bytes, 66);
    if (width <= 0 || height <= 0)
        fail("empty picture");
    if (static_cast<qint64>(width) * height > kMaxPcxPixels)
        fail("picture too large");
    const bool mono = bitsPerPixel == 1 && planes == 1;
    const bool ega = bitsPerPixel == 1 && planes == 4;
    const bool indexed = bitsPerPixel == 8 && planes == 1;
    const bool truecolour = bitsPerPixel == 8 && planes == 3;
    if (!mono && !ega && !indexed && !truecolour)
        fail("unsupported colour layout");
    if (bytesPerLine * 8 < width * bitsPerPixel)
        fail("scan line shorter than the picture");

    // An 8-bit picture keeps its palette in the last 769 bytes, after the scan lines.
    qsizetype dataEnd = bytes.size();
    const QList<QRgb> palette = paletteOf(bytes, mono, ega, indexed, dataEnd);

    const size_t lineBytes = static_cast<size_t>(bytesPerLine) * static_cast<size_t>(planes);
    // The header's scan-line length is trusted for the decode buffer: a small picture claiming
    // 64 KB lines would otherwise take gigabytes before a byte of it is read.
    if (lineBytes * static_cast<size_t>(height) > kMaxPcxDecodedBytes)
        fail("scan lines far longer than the picture");
    const std::vector<unsigned char> data =
        decodeRuns(bytes, lineBytes * static_cast<size_t>(height), dataEnd);

    QImage image(width, height, truecolour ? QImage::Format_RGB32 : QImage::Format_Indexed8);
    if (image.isNull())
        fail("out of memory");
    if (!truecolour)
        image.setColorTable(palette);
    for (int y = 0; y < height; ++y) {
        const unsigned char* line = data.data() + static_cast<size_t>(y) * lineBytes;
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            if (truecolour) {
                reinterpret_cast<QRgb*>(row)[x] =
                    qRgb(line[x], line[bytesPerLine + x], line[2 * bytesPerLine + x]);
            } else if (indexed) {
                row[x] = line[x];
            } else {
                int index = 0;
                for (int p = 0; p < planes; ++p) {
                    const int bit = (line[p * bytesPerLine + x / 8] >> (7 - x % 8)) & 1;
                    index |= bit << p;
                }
                row[x] = static_cast<uchar>(index);
            }
        }
    }
    return image;
}

} // namespace pelmar::common
