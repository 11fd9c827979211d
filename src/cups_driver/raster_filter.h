#pragma once

namespace pelmar::cups_driver {

// The CUPS filter rastertotspl: `argv` is job user title copies options [file]; reads CUPS
// raster from the file or standard input, writes one TSPL label a page to standard output,
// follows the printer after each label (PrinterFollower) and reports on standard error.
// Returns the exit status: 0 when every page went out, 1 otherwise. Never throws.
int runRasterFilter(int argc, char** argv);

} // namespace pelmar::cups_driver
