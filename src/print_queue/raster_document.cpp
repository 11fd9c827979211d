#include "print_queue/raster_document.h"

#include "common/run_error.h"

#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cups/ppd.h>
#include <cups/raster.h>

namespace pelmar::print_queue {

namespace {

// The sync word that opens a raster stream; every page after it is its header and its rows.
constexpr qsizetype kSyncBytes = 4;

ssize_t appendTo(void* document, unsigned char* bytes, size_t length) {
    static_cast<QByteArray*>(document)->append(reinterpret_cast<const char*>(bytes),
                                               static_cast<qsizetype>(length));
    return static_cast<ssize_t>(length);
}

// The header a PPD driver gets by default from its description: darkness, media type and the
// other options it reads from the header rather than from the job. A description that cannot be
// read leaves the header empty: the page still prints, at the driver's own defaults.
cups_page_header2_t readPpdHeader(const QByteArray& ppd) {
    cups_page_header2_t header;
    std::memset(&header, 0, sizeof header);
    // libcups reads a description only from a file that has a descriptor.
    QTemporaryFile file;
    if (ppd.isEmpty() || !file.open() || file.write(ppd) != ppd.size() || !file.flush())
        return header;
        // The only way to a PPD driver's page header, which CUPS marks deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (ppd_file_t* description = ppdOpenFile(QFile::encodeName(file.fileName()).constData())) {
        ppdMarkDefaults(description);
        cupsRasterInterpretPPD(&header, description, 0, nullptr, nullptr);
        ppdClose(description);
    }
#pragma GCC diagnostic pop
    return header;
}

// A run sends every job to one queue: its description is read once.
cups_page_header2_t ppdHeader(const QByteArray& ppd) {
    thread_local QByteArray lastPpd;
    thread_local cups_page_header2_t lastHeader = readPpdHeader({});
    if (ppd != lastPpd) {
        lastHeader = readPpdHeader(ppd);
        lastPpd = ppd;
    }
    return lastHeader;
}

cups_page_header2_t pwgHeader(const RasterPage& page, int copies) {
    cups_page_header2_t header;
    std::memset(&header, 0, sizeof header);
    const auto hundredthsOfMm = [](double points) {
        return static_cast<int>(std::lround(points * 2540.0 / 72.0));
    };
    pwg_media_t* media =
        pwgMediaForSize(hundredthsOfMm(page.points.width()), hundredthsOfMm(page.points.height()));
    if (media != nullptr)
        cupsRasterInitPWGHeader(&header, media, "black_1", page.dotsPerInch, page.dotsPerInch,
                                "one-sided", nullptr);
    header.cupsInteger[0] = static_cast<unsigned>(copies); // TotalPageCount
    return header;
}

// The page's own geometry, whatever the description's default page was.
void setGeometry(cups_page_header2_t& header, const RasterPage& page) {
    const auto whole = [](double points) { return static_cast<unsigned>(std::lround(points)); };
    header.HWResolution[0] = header.HWResolution[1] = static_cast<unsigned>(page.dotsPerInch);
    header.PageSize[0] = whole(page.points.width());
    header.PageSize[1] = whole(page.points.height());
    header.cupsPageSize[0] = static_cast<float>(page.points.width());
    header.cupsPageSize[1] = static_cast<float>(page.points.height());
    header.Margins[0] = header.Margins[1] = 0;
    header.ImagingBoundingBox[0] = header.ImagingBoundingBox[1] = 0;
    header.ImagingBoundingBox[2] = header.PageSize[0];
    header.ImagingBoundingBox[3] = header.PageSize[1];
    header.cupsImagingBBox[0] = header.cupsImagingBBox[1] = 0;
    header.cupsImagingBBox[2] = header.cupsPageSize[0];
    header.cupsImagingBBox[3] = header.cupsPageSize[1];
    header.NumCopies = 1;
    header.cupsWidth = static_cast<unsigned>(page.widthDots);
    header.cupsHeight = static_cast<unsigned>(page.heightDots);
    header.cupsBitsPerColor = 1;
    header.cupsBitsPerPixel = 1;
    header.cupsBytesPerLine = static_cast<unsigned>((page.widthDots + 7) / 8);
    header.cupsColorOrder = CUPS_ORDER_CHUNKED;
    header.cupsColorSpace = CUPS_CSPACE_K;
    header.cupsNumColors = 1;
}

} // namespace

QByteArray rasterDocument(const RasterPage& page, int copies, DocumentFormat format,
                          const QByteArray& ppd) {
    const qsizetype bytesPerLine = (page.widthDots + 7) / 8;
    if (page.widthDots <= 0 || page.heightDots <= 0 || page.dotsPerInch <= 0 ||
        page.rows.size() != bytesPerLine * page.heightDots)
        throw common::RunError(common::InvalidArgument,
                               QStringLiteral("點陣標籤頁的大小不正確: %1 x %2 點")
                                   .arg(page.widthDots)
                                   .arg(page.heightDots));
    copies = std::max(copies, 1);
    const bool pwg = format == DocumentFormat::PwgRaster;
    cups_page_header2_t header = pwg ? pwgHeader(page, copies) : ppdHeader(ppd);
    setGeometry(header, page);
    // A PWG page keeps its media's own name; a PPD driver's gets the custom size as a job's.
    if (!pwg)
        std::snprintf(header.cupsPageSizeName, sizeof header.cupsPageSizeName, "Custom.%ux%u",
                      header.PageSize[0], header.PageSize[1]);

    QByteArray document;
    cups_raster_t* raster = cupsRasterOpenIO(
        appendTo, &document, pwg ? CUPS_RASTER_WRITE_PWG : CUPS_RASTER_WRITE_COMPRESSED);
    bool written = raster != nullptr && cupsRasterWriteHeader2(raster, &header) != 0;
    QByteArray row;
    for (int y = 0; written && y < page.heightDots; ++y) {
        // The writer may change the row it is given.
        row = page.rows.mid(y * bytesPerLine, bytesPerLine);
        written = cupsRasterWritePixels(raster, reinterpret_cast<unsigned char*>(row.data()),
                                        static_cast<unsigned>(bytesPerLine)) != 0;
    }
    if (raster != nullptr)
        cupsRasterClose(raster);
    if (!written || document.size() <= kSyncBytes)
        throw common::RunError(common::PrinterError,
                               QStringLiteral("無法產生點陣列印工作: %1")
                                   .arg(QString::fromUtf8(cupsRasterErrorString())));
    // Every copy is the same page, header and rows alike: it is encoded once.
    const QByteArray onePage = document.mid(kSyncBytes);
    document.reserve(kSyncBytes + onePage.size() * copies);
    for (int copy = 1; copy < copies; ++copy)
        document.append(onePage);
    return document;
}

} // namespace pelmar::print_queue
