#pragma once

#include "print_driver/page_sink.h"

#include <memory>

namespace pelmar::print_driver {

// The whole run in one PDF file, each job's page repeated as many times as its copies. Every
// write is checked: a job or finish that could not write the file (a full disk) throws
// RunError(75) naming the file. The file is complete and flushed to the disk after finish; a sink
// destroyed unfinished closes the file unchecked. The device name is "PDF"; barcodes are drawn
// for a printer of dotsPerInch.
std::unique_ptr<PageSink> makePdfFileSink(const QString& fileName,
                                          int dotsPerInch = kDefaultPrinterDotsPerInch);

} // namespace pelmar::print_driver
