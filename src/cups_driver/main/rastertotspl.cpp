#include "cups_driver/raster_filter.h"

// The CUPS filter that turns CUPS raster into TSPL labels (application/vnd.cups-raster).
int main(int argc, char** argv) {
    return pelmar::cups_driver::runRasterFilter(argc, argv);
}
