#pragma once

#include <QByteArray>
#include <QImage>
#include <cstddef>

namespace pelmar::common {

// Largest picture decodePcx accepts, in pixels, so a forged header cannot take the memory.
inline constexpr qint64 kMaxPcxPixels = 32LL * 1024 * 1024;
// Largest run-length decoded data (scan lines of every plane), in bytes: three planes of the
// largest picture with room for padded lines.
inline constexpr size_t kMaxPcxDecodedBytes = 4 * static_cast<size_t>(kMaxPcxPixels);

// Decodes a PCX picture (run-length encoded; 1 bit in 1 or 4 planes, 8 bits with a 256-colour
// palette, 24 bits in 3 planes). A truncated image keeps its decoded rows; everything else that
// is wrong (not PCX, unsupported layout, absurd size) throws RunError(481) with the reason.
QImage decodePcx(const QByteArray& bytes);

} // namespace pelmar::common
