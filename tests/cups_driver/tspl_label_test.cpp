#include "cups_driver/tspl_label.h"

#include "common/run_error.h"

#include <gtest/gtest.h>

namespace pelmar::cups_driver {
namespace {

// A page of `width` x `height` dots on a label of `labelWidth` x `labelHeight` dots, 1-bit
// black, gap labels at darkness 8, 4 in/s, direction 1, unless a row changes it.
cups_page_header2_t page(unsigned width, unsigned height, unsigned dpi, int labelWidth,
                         int labelHeight) {
    cups_page_header2_t h{};
    h.HWResolution[0] = h.HWResolution[1] = dpi;
    h.cupsWidth = width;
    h.cupsHeight = height;
    h.cupsBitsPerColor = h.cupsBitsPerPixel = 1;
    h.cupsBytesPerLine = (width + 7) / 8;
    h.cupsColorSpace = CUPS_CSPACE_K;
    h.cupsPageSize[0] = static_cast<float>(labelWidth * 72.0 / dpi);
    h.cupsPageSize[1] = static_cast<float>(labelHeight * 72.0 / dpi);
    h.cupsCompression = 8;
    h.cupsInteger[0] = 4;
    h.cupsInteger[1] = 30;
    h.cupsInteger[2] = 1;
    return h;
}

const QByteArray kSetup = "SPEED 4\r\nDENSITY 8\r\nDIRECTION 1\r\nCLS\r\n";

TEST(TsplLabelTest, EachPageBecomesOneLabel) {
    struct Row {
        const char* name;
        cups_page_header2_t header;
        QByteArray pixels;
        QByteArray expected;
    };
    cups_page_header2_t blackMark = page(16, 2, 203, 16, 2);
    blackMark.cupsMediaType = 1;
    blackMark.cupsInteger[1] = 25;
    blackMark.cupsCompression = static_cast<unsigned>(-1); // the printer's own darkness
    blackMark.cupsInteger[0] = 0;                          // and speed
    cups_page_header2_t continuous = page(16, 1, 203, 16, 1);
    continuous.cupsMediaType = 2;
    cups_page_header2_t grey = page(16, 1, 203, 16, 1);
    grey.cupsColorSpace = CUPS_CSPACE_SW;
    grey.cupsBitsPerColor = grey.cupsBitsPerPixel = 8;
    grey.cupsBytesPerLine = 16;
    const Row rows[] = {
        {"ink is inverted; white rows around the ink are left out", page(16, 3, 203, 16, 3),
         QByteArray("\x00\x00\xf0\x0f\x00\x00", 6),
         "SIZE 2 mm,0.38 mm\r\nGAP 3 mm,0\r\n" + kSetup +
             "BITMAP 0,1,2,1,0,\x0f\xf0\r\nPRINT 1,1\r\n"},
        {"black mark, printer's own darkness and speed", blackMark,
         QByteArray("\x80\x01\x00\x00", 4),
         "SIZE 2 mm,0.25 mm\r\nBLINE 2.5 mm,0\r\nDIRECTION 1\r\nCLS\r\n"
         "BITMAP 0,0,2,1,0,\x7f\xfe\r\nPRINT 1,1\r\n"},
        {"continuous roll", continuous, QByteArray("\xff\xff", 2),
         "SIZE 2 mm,0.13 mm\r\nGAP 0,0\r\n" + kSetup + "BITMAP 0,0,2,1,0," +
             QByteArray("\x00\x00", 2) + "\r\nPRINT 1,1\r\n"},
        {"a wider and taller page is cut to the label", page(24, 3, 203, 12, 2),
         QByteArray("\x00\x00\x00\xff\xff\xff\xff\xff\xff", 9),
         "SIZE 1.5 mm,0.25 mm\r\nGAP 3 mm,0\r\n" + kSetup + "BITMAP 0,1,2,1,0," +
             QByteArray("\x00\x0f", 2) + "\r\nPRINT 1,1\r\n"},
        {"a narrower page lies at the left edge", page(8, 1, 203, 16, 1), QByteArray("\x81", 1),
         "SIZE 2 mm,0.13 mm\r\nGAP 3 mm,0\r\n" + kSetup + "BITMAP 0,0,1,1,0,\x7e\r\nPRINT 1,1\r\n"},
        {"300 dpi", page(12, 1, 300, 12, 1), QByteArray("\x10\x00", 2),
         "SIZE 1.02 mm,0.08 mm\r\nGAP 3 mm,0\r\n" + kSetup +
             "BITMAP 0,0,2,1,0,\xef\xff\r\nPRINT 1,1\r\n"},
        {"a blank page has no bitmap", page(16, 2, 203, 16, 2), QByteArray(4, '\0'),
         "SIZE 2 mm,0.25 mm\r\nGAP 3 mm,0\r\n" + kSetup + "PRINT 1,1\r\n"},
        {"8-bit grey: dark bytes are ink", grey,
         QByteArray("\x00\x7f\x80\xff", 4) + QByteArray(12, '\xff'),
         "SIZE 2 mm,0.13 mm\r\nGAP 3 mm,0\r\n" + kSetup +
             "BITMAP 0,0,2,1,0,\x3f\xff\r\nPRINT 1,1\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(tsplLabel(row.header, row.pixels), row.expected);
    }
}

TEST(TsplLabelTest, PagesThePrinterCannotTakeAreRefused) {
    cups_page_header2_t colour = page(16, 1, 203, 16, 1);
    colour.cupsColorSpace = CUPS_CSPACE_RGB;
    cups_page_header2_t fourBits = page(16, 1, 203, 16, 1);
    fourBits.cupsBitsPerPixel = 4;
    fourBits.cupsBytesPerLine = 8;
    cups_page_header2_t noResolution = page(16, 1, 203, 16, 1);
    noResolution.HWResolution[1] = 0;
    cups_page_header2_t shortRows = page(16, 1, 203, 16, 1);
    shortRows.cupsBytesPerLine = 1;
    for (const cups_page_header2_t& header : {colour, fourBits, noResolution, shortRows})
        EXPECT_THROW(tsplLabel(header, QByteArray(16, '\0')), common::RunError);
}

} // namespace
} // namespace pelmar::cups_driver
