#include "common/units.h"

#include "common/numbers.h"

namespace pelmar::common {

std::int32_t millimetresToTwips(double millimetres) {
    return toInt32(millimetres * 567.0 / 10.0);
}

std::int32_t dotsToTwips(double dots) {
    return toInt32(dots * 567.0 / 80.0);
}

} // namespace pelmar::common
