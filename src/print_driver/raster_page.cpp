#include "print_driver/raster_page.h"

#include "print_driver/pdf_page.h"

namespace pelmar::print_driver {

print_queue::RasterPage rasterPage(const PageContent& page, int dotsPerInch) {
    print_queue::RasterPage raster;
    pdfPageSize(page); // the same size check as a PDF page
    raster.points = pdfPagePoints(page);
    const QImage image =
        renderPageImage(page, dotsPerInch).convertToFormat(QImage::Format_Grayscale8);
    raster.widthDots = image.width();
    raster.heightDots = image.height();
    raster.dotsPerInch = dotsPerInch;
    const int bytesPerLine = (image.width() + 7) / 8;
    raster.rows.fill('\0', qsizetype(bytesPerLine) * image.height());
    auto* out = reinterpret_cast<unsigned char*>(raster.rows.data());
    for (int y = 0; y < image.height(); ++y, out += bytesPerLine) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            if (line[x] < 128)
                out[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    }
    return raster;
}

} // namespace pelmar::print_driver
