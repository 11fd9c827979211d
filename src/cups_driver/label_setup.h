#pragma once

#include <cups/raster.h>

namespace pelmar::cups_driver {

// How the printer finds the start of the next label.
enum class Sensing {
    Gap,        // GAP: a gap between labels
    BlackMark,  // BLINE: a black mark on the back of the liner
    Continuous, // GAP 0,0: a roll without marks
};

// How the raster's pixels say black.
enum class Ink {
    OneBitBlack, // 1 bit a pixel, 1 = black (black colour space)
    OneBitWhite, // 1 bit a pixel, 1 = white (grey colour spaces)
    ByteBlack,   // 8 bits a pixel, 255 = black
    ByteWhite,   // 8 bits a pixel, 255 = white
};

// One page's label and printer settings, as the queue's printer description put them into the
// raster header (pelmar-tspl.drv): cupsMediaType the sensing (0 gap, 1 black mark,
// 2 continuous), cupsCompression the darkness (0 to 15, else the printer's own), cupsInteger[0]
// the speed in inches a second (0: the printer's own), cupsInteger[1] the gap or mark height in
// tenths of a millimetre (0: the printer's own), cupsInteger[2] the print direction (0 or 1).
struct LabelSetup {
    int dpiX = 0;
    int dpiY = 0;
    double widthMm = 0; // the label, from the page's media size
    double heightMm = 0;
    int labelWidth = 0; // the label in dots
    int labelHeight = 0;
    Ink ink = Ink::OneBitBlack;
    Sensing sensing = Sensing::Gap;
    int gapTenthsMm = 0; // 0: the printer keeps its own
    int density = -1;    // -1: the printer keeps its own
    int speed = 0;       // 0: the printer keeps its own
    int direction = 0;
};

// The label and settings of a raster page. Throws common::RunError (InvalidArgument) with a
// Traditional Chinese description for a page the printer cannot take: no resolution, a colour
// page, a depth other than 1 or 8 bits, or row sizes that do not fit the page.
LabelSetup labelSetupOf(const cups_page_header2_t& header);

} // namespace pelmar::cups_driver
