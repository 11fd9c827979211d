#pragma once

#include "print_queue/print_system.h"

#include <QByteArray>
#include <QStringList>

namespace pelmar::print_queue {

// The filter program of Pelmar's own TSPL driver, which holds each job until it is printed.
inline constexpr char kTsplFilterName[] = "rastertotspl";

// How a queue takes label pages, from its printer description (empty: none) and the document
// formats it accepts (document-format-supported): CUPS raster when one of the description's
// filters (*cupsFilter, *cupsFilter2) reads application/vnd.cups-raster, PWG raster when the
// queue takes image/pwg-raster but not PDF (a driverless queue), else PDF. Jobs are held until
// printed when that raster filter is Pelmar's TSPL filter. The description is kept in the route.
DocumentRoute routeOf(const QByteArray& ppd, const QStringList& documentFormats);

} // namespace pelmar::print_queue
