#pragma once

#include <cmath>

#include "platform/Geometry.h"

namespace qz {

// Twips to whole pixels, to the nearest; a half pixel goes away from zero.
inline int twipsToPixels(float twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline float pixelsToTwips(int pixels) {
    return static_cast<float>(pixels) * kTwipsPerPixel;
}

} // namespace qz
