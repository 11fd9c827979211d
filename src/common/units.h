#pragma once

#include <cstdint>

namespace pelmar::common {

// Units of the label and the page. The driver-mode page unit is the twip; a printer dot is
// taken as 567/80 twips (8 dots a millimetre, about 203 a inch).
inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr double kTwipsPerPoint = 20.0;
inline constexpr double kMillimetresPerInch = 25.4;

// Twips of a length in millimetres: millimetres * 567 / 10, rounded halves to even.
// Throws RunError(6) outside 32 bits.
std::int32_t millimetresToTwips(double millimetres);

// Twips of a length in printer dots: dots * 567 / 80, rounded halves to even. Throws RunError(6)
// outside 32 bits.
std::int32_t dotsToTwips(double dots);

// Twips per printer dot, unrounded: line widths and module sizes.
inline constexpr double kTwipsPerDot = 567.0 / 80.0;

constexpr double twipsToPoints(double twips) {
    return twips / kTwipsPerPoint;
}

constexpr double pointsToTwips(double points) {
    return points * kTwipsPerPoint;
}

// Device pixels of a length in twips on a device of dotsPerInch.
constexpr double twipsToPixels(double twips, double dotsPerInch) {
    return twips * dotsPerInch / kTwipsPerInch;
}

} // namespace pelmar::common
