#pragma once

#include <string_view>

namespace qz {

// One entry of the window's menu tree. Titles have an empty parent; items name their title.
// Menus are declared once with the window and never change.
struct MenuItem {
    std::string_view name;
    std::string_view parent;
    std::u16string_view caption;
    std::string_view shortcut; // "Ctrl+G", "F5" or empty
    bool visible;

    constexpr bool isTitle() const { return parent.empty(); }
};

} // namespace qz
