#include "print_driver/cups_queue_sink.h"

#include <gtest/gtest.h>

namespace {

TEST(CupsQueueSink, MediaIsThePageSizeInPoints) {
    struct Case {
        std::int32_t width, height; // twips
        const char* media;
    } const cases[] = {
        {3402, 2268, "Custom.170.1x113.4"},  // 60 x 40 mm, LabelWidth 60 and LabelHeight 40
        {1440, 2880, "Custom.72x144"},       // 1 x 2 inches, whole points
        {5670, 8505, "Custom.283.5x425.25"}, // 100 x 150 mm
        {1441, 1439, "Custom.72.05x71.95"},  // hundredths of a point
    };
    for (const Case& c : cases) {
        pelmar::print_driver::PageContent page;
        page.widthTwips = c.width;
        page.heightTwips = c.height;
        EXPECT_EQ(pelmar::print_driver::cupsCustomMedia(page), QString::fromLatin1(c.media));
    }
}

} // namespace
