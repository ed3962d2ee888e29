#pragma once

#include <cstdint>

namespace qz {

// Window and control geometry is given in twips, 15 to a screen pixel.
inline constexpr std::int16_t kTwipsPerPixel = 15;

// The main window's menu bar is held at this height, so that a window sized to the browser's height plus
// the bar shows the browser whole.
inline constexpr int kMenuBarPixels = 20;
inline constexpr float kMenuBarTwips = kMenuBarPixels * kTwipsPerPixel;

} // namespace qz
