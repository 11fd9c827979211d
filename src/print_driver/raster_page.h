#pragma once

#include "print_driver/page_content.h"
#include "print_queue/raster_document.h"

namespace pelmar::print_driver {

// The page drawn once at a printer's resolution and made 1 bit a dot (a pixel darker than middle
// grey is a black dot), for a raster job. Throws RunError(5) for a size that is not positive.
print_queue::RasterPage rasterPage(const PageContent& page, int dotsPerInch);

} // namespace pelmar::print_driver
