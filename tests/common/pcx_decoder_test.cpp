#include "common/pcx_decoder.h"
#include "common/run_error.h"
#include "support/run_error_of.h"

#include <gtest/gtest.h>

using namespace pelmar::common;

namespace {

QByteArray header(int bitsPerPixel, int planes, int width, int height, int bytesPerLine) {
    QByteArray h(128, '\0');
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;
    h[3] = static_cast<char>(bitsPerPixel);
    h[8] = static_cast<char>((width - 1) & 0xFF);
    h[9] = static_cast<char>((width - 1) >> 8);
    h[10] = static_cast<char>((height - 1) & 0xFF);
    h[11] = static_cast<char>((height - 1) >> 8);
    h[65] = static_cast<char>(planes);
    h[66] = static_cast<char>(bytesPerLine & 0xFF);
    h[67] = static_cast<char>(bytesPerLine >> 8);
    return h;
}

TEST(PcxDecoder, MonochromeWithRuns) {
    // 16 x 2: row 0 all black (bits 0), row 1 left half white (bits 1).
    QByteArray file = header(1, 1, 16, 2, 2);
    file += QByteArray("\xC2\x00", 2);     // run of two zero bytes
    file += QByteArray("\xC1\xFF\x00", 3); // a run of one 0xFF (the escape), then a literal 0
    const QImage image = decodePcx(file);
    ASSERT_EQ(image.size(), QSize(16, 2));
    EXPECT_EQ(image.pixelColor(3, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(3, 1), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(12, 1), QColor(Qt::black));
}

TEST(PcxDecoder, EightBitUsesTheTrailingPalette) {
    QByteArray file = header(8, 1, 2, 1, 2);
    file += QByteArray("\x01\x02", 2);
    QByteArray palette(769, '\0');
    palette[0] = 0x0C;
    palette[1 + 3 * 1] = static_cast<char>(255);     // colour 1 red
    palette[1 + 3 * 2 + 2] = static_cast<char>(255); // colour 2 blue
    const QImage image = decodePcx(file + palette);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(1, 0), QColor(0, 0, 255));
}

TEST(PcxDecoder, TrueColourPlanes) {
    QByteArray file = header(8, 3, 1, 1, 1);
    file += QByteArray("\x10\x20\x30", 3);
    EXPECT_EQ(decodePcx(file).pixelColor(0, 0), QColor(0x10, 0x20, 0x30));
}

TEST(PcxDecoder, TruncatedDataKeepsDecodedRows) {
    QByteArray file = header(8, 1, 4, 4, 4);
    file += QByteArray("\x00\x00\x00\x00", 4); // only the first row
    const QImage image = decodePcx(file);
    EXPECT_EQ(image.size(), QSize(4, 4));
    EXPECT_EQ(image.pixelIndex(0, 0), 0);
    EXPECT_EQ(image.pixelIndex(0, 3), 255);
}

TEST(PcxDecoder, RejectsWhatItCannotDecode) {
    const QByteArray cases[] = {
        QByteArray(),
        QByteArray(128, '\0'),
        header(4, 1, 8, 8, 4),             // 4 bits per pixel
        header(8, 1, 30000, 30000, 30000), // 900 million pixels
        header(8, 1, 100, 1, 10),          // scan line shorter than the width
    };
    for (const QByteArray& bytes : cases)
        EXPECT_EQ(pelmar::test::runErrorNumberOf([&] { decodePcx(bytes); }), InvalidPicture);
}

} // namespace
