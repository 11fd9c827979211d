#include "print_driver/bar_layout.h"

#include "common/units.h"

#include <algorithm>
#include <cmath>

namespace pelmar::print_driver {

namespace {

int toDots(double twips, int dotsPerInch) {
    return static_cast<int>(std::lround(common::twipsToPixels(twips, dotsPerInch)));
}

} // namespace

int barcodeModuleDots(int dotsPerInch) {
    // Two dots of the 8-dots-per-millimetre head the label geometry is written for.
    const double nominal = 2.0 * dotsPerInch * common::kTwipsPerDot / common::kTwipsPerInch;
    return std::max(1, static_cast<int>(std::lround(nominal)));
}

DotBars layOutBars(const BarcodeModules& modules, double xTwips, double yTwips, double heightTwips,
                   int dotsPerInch) {
    DotBars out;
    out.dotsPerInch = dotsPerInch > 0 ? dotsPerInch : kDefaultPrinterDotsPerInch;
    out.moduleDots = barcodeModuleDots(out.dotsPerInch);
    out.left = toDots(xTwips, out.dotsPerInch);
    out.top = toDots(yTwips, out.dotsPerInch);
    out.height = std::max(1, toDots(heightTwips, out.dotsPerInch));
    const std::vector<bool>& dark = modules.dark;
    size_t i = 0;
    while (i < dark.size()) {
        if (!dark[i]) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < dark.size() && dark[end])
            ++end;
        out.bars.push_back(
            {static_cast<int>(i) * out.moduleDots, static_cast<int>(end - i) * out.moduleDots});
        i = end;
    }
    return out;
}

} // namespace pelmar::print_driver
