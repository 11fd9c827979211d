#include "print_driver/cups_queue_sink.h"

#include <gtest/gtest.h>

namespace {

TEST(CupsQueueSink, MediaIsThePageSizeInPointsAndPageSizeItsWholePoints) {
    struct Case {
        std::int32_t width, height; // twips
        const char* media;
        const char* pageSize; // the PDF page's whole points
    } const cases[] = {
        {3402, 2268, "Custom.170.1x113.4", "Custom.170x113"},  // 60 x 40 mm
        {1440, 2880, "Custom.72x144", "Custom.72x144"},        // 1 x 2 inches, whole points
        {5670, 8505, "Custom.283.5x425.25", "Custom.284x425"}, // 100 x 150 mm
        {1441, 1439, "Custom.72.05x71.95", "Custom.72x72"},    // hundredths of a point
        {4536, 1701, "Custom.226.8x85.05", "Custom.227x85"},   // 80 x 30 mm: CUPS would take 226
    };
    for (const Case& c : cases) {
        pelmar::print_driver::PageContent page;
        page.widthTwips = c.width;
        page.heightTwips = c.height;
        EXPECT_EQ(pelmar::print_driver::cupsCustomMedia(page), QString::fromLatin1(c.media));
        EXPECT_EQ(pelmar::print_driver::cupsPageSize(page), QString::fromLatin1(c.pageSize));
    }
}

} // namespace
