#pragma once

#include <cstdint>

namespace qz {

// What the main window is created from: sizes in twips, the timer's settings. The menus come from the
// menu tree (commands/MenuTree.h); the icon is the shell's own 32 x 32 image.
struct FormDescription {
    float clientWidth = 4995; // 333 px
    float clientHeight = 3210; // 214 px
    float browserLeft = 0;
    float browserTop = 0;
    float browserWidth = 5085; // 339 px: wider and taller than the client area until sized
    float browserHeight = 3304;
    std::int32_t timerInterval = 500;
    bool timerEnabled = true;
    bool startCentred = true;
};

inline constexpr FormDescription kFormDescription {};

} // namespace qz
