#pragma once

#include "print_driver/page_sink.h"

#include <memory>

namespace pelmar::print_driver {

// Each page of a run as a picture at the printer's resolution, one file per copy, named as the
// virtual printer names its labels (label-00001.png, ... after the highest one already in the
// folder). The folder is created when missing: throws RunError(75) naming it when it cannot be;
// a picture that cannot be written throws RunError(75) naming the file. The device name is
// "Preview"; barcodes are drawn for a printer of dotsPerInch.
std::unique_ptr<PageSink> makePngFolderSink(const QString& folder,
                                            int dotsPerInch = kDefaultPrinterDotsPerInch);

} // namespace pelmar::print_driver
