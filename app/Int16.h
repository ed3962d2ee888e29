#pragma once

#include "platform/Errors.h"

#include <cmath>
#include <cstdint>

namespace qz {

// 16-bit arithmetic as the window's own fields do it: a result that does not fit raises OverflowError.
inline std::int16_t CInt16(double value) {
    if (!(value >= INT16_MIN && value <= INT16_MAX))
        throw OverflowError();
    return static_cast<std::int16_t>(value);
}

inline std::int16_t Mul16(std::int16_t a, std::int16_t b) {
    const std::int32_t product = std::int32_t { a } * std::int32_t { b };
    if (product < INT16_MIN || product > INT16_MAX)
        throw OverflowError();
    return static_cast<std::int16_t>(product);
}

} // namespace qz
