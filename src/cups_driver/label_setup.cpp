#include "cups_driver/label_setup.h"

#include "common/run_error.h"
#include "common/units.h"

#include <cmath>

namespace pelmar::cups_driver {

namespace {

constexpr double kPointsPerInch = 72.0;
// Far beyond any label printer's head and label length; keeps a broken header from asking for
// gigabytes.
constexpr unsigned kMaxDots = 60000;
// The fastest SPEED of TSPL models, inches a second.
constexpr unsigned kMaxSpeed = 12;

[[noreturn]] void refuse(const QString& why) {
    throw common::RunError(common::InvalidArgument, QStringLiteral("無法列印此頁：") + why);
}

Ink inkOf(const cups_page_header2_t& header) {
    const bool black = header.cupsColorSpace == CUPS_CSPACE_K;
    const bool grey =
        header.cupsColorSpace == CUPS_CSPACE_W || header.cupsColorSpace == CUPS_CSPACE_SW;
    if (!black && !grey)
        refuse(QStringLiteral("不是黑白頁面（色彩空間 %1）").arg(header.cupsColorSpace));
    if (header.cupsBitsPerPixel == 1)
        return black ? Ink::OneBitBlack : Ink::OneBitWhite;
    if (header.cupsBitsPerPixel == 8)
        return black ? Ink::ByteBlack : Ink::ByteWhite;
    refuse(QStringLiteral("每點 %1 位元，只支援 1 或 8 位元").arg(header.cupsBitsPerPixel));
}

// The media's length in points: the exact size when the header has one, else the whole points,
// else the raster's own size.
double mediaPoints(float exact, unsigned whole, unsigned dots, int dpi) {
    if (exact > 0)
        return exact;
    if (whole > 0)
        return whole;
    return dots * kPointsPerInch / dpi;
}

} // namespace

LabelSetup labelSetupOf(const cups_page_header2_t& header) {
    LabelSetup setup;
    setup.dpiX = static_cast<int>(header.HWResolution[0]);
    setup.dpiY = static_cast<int>(header.HWResolution[1]);
    if (header.HWResolution[0] == 0 || header.HWResolution[1] == 0 ||
        header.HWResolution[0] > 10000 || header.HWResolution[1] > 10000)
        refuse(QStringLiteral("解析度 %1x%2 不正確")
                   .arg(header.HWResolution[0])
                   .arg(header.HWResolution[1]));
    setup.ink = inkOf(header);
    if (header.cupsWidth == 0 || header.cupsHeight == 0 || header.cupsWidth > kMaxDots ||
        header.cupsHeight > kMaxDots)
        refuse(
            QStringLiteral("頁面大小 %1x%2 點不正確").arg(header.cupsWidth).arg(header.cupsHeight));
    if (header.cupsBytesPerLine < (header.cupsWidth * header.cupsBitsPerPixel + 7) / 8)
        refuse(QStringLiteral("每列 %1 位元組，容不下 %2 點")
                   .arg(header.cupsBytesPerLine)
                   .arg(header.cupsWidth));

    const double widthPoints =
        mediaPoints(header.cupsPageSize[0], header.PageSize[0], header.cupsWidth, setup.dpiX);
    const double heightPoints =
        mediaPoints(header.cupsPageSize[1], header.PageSize[1], header.cupsHeight, setup.dpiY);
    setup.widthMm = widthPoints * common::kMillimetresPerInch / kPointsPerInch;
    setup.heightMm = heightPoints * common::kMillimetresPerInch / kPointsPerInch;
    setup.labelWidth = static_cast<int>(std::lround(widthPoints * setup.dpiX / kPointsPerInch));
    setup.labelHeight = static_cast<int>(std::lround(heightPoints * setup.dpiY / kPointsPerInch));
    if (setup.labelWidth <= 0 || setup.labelHeight <= 0 ||
        setup.labelWidth > static_cast<int>(kMaxDots) ||
        setup.labelHeight > static_cast<int>(kMaxDots))
        refuse(
            QStringLiteral("標籤大小 %1x%2 點不正確").arg(setup.labelWidth).arg(setup.labelHeight));

    switch (header.cupsMediaType) {
    case 1:
        setup.sensing = Sensing::BlackMark;
        break;
    case 2:
        setup.sensing = Sensing::Continuous;
        break;
    default:
        setup.sensing = Sensing::Gap;
        break;
    }
    if (header.cupsCompression <= 15)
        setup.density = static_cast<int>(header.cupsCompression);
    setup.speed = header.cupsInteger[0] <= kMaxSpeed ? static_cast<int>(header.cupsInteger[0]) : 0;
    setup.gapTenthsMm = header.cupsInteger[1] <= 1000 ? static_cast<int>(header.cupsInteger[1]) : 0;
    setup.direction = header.cupsInteger[2] == 1 ? 1 : 0;
    return setup;
}

} // namespace pelmar::cups_driver
