#include "print_queue/document_route.h"

#include <gtest/gtest.h>

namespace {

using pelmar::print_queue::DocumentFormat;

TEST(DocumentRoute, TheQueuesDriverChoosesTheFormat) {
    using enum DocumentFormat;
    const QStringList pdfAndPwg{"application/pdf", "image/pwg-raster"};
    struct Case {
        const char* ppd;
        QStringList formats;
        DocumentFormat format;
        bool held;
    } const cases[] = {
        {"*cupsFilter: \"application/vnd.cups-raster 50 rastertolabel\"", {}, CupsRaster, false},
        // Pelmar's own filter, named with its folder, after a PDF filter.
        {"*cupsFilter2: \"application/pdf application/vnd.cups-pdf 0 -\"\n*cupsFilter2:"
         "\"application/vnd.cups-raster application/vnd.cups-raster 0 /usr/lib/rastertotspl\"",
         pdfAndPwg, CupsRaster, true},
        {"*cupsFilter: \"application/vnd.cups-pdf 0 foomatic-rip\"", pdfAndPwg, Pdf, false},
        {"*% *cupsFilter: \"application/vnd.cups-raster 0 x\"", {}, Pdf, false},
        // Driverless, with and without PDF; a queue that cannot be asked.
        {"", {"image/pwg-raster", "image/urf"}, PwgRaster, false},
        {"", pdfAndPwg, Pdf, false},
        {"", {}, Pdf, false},
    };
    for (const Case& c : cases) {
        const auto route = pelmar::print_queue::routeOf(c.ppd, c.formats);
        EXPECT_EQ(route.format, c.format) << c.ppd;
        EXPECT_EQ(route.holdsJobsUntilPrinted, c.held) << c.ppd;
    }
}

} // namespace
