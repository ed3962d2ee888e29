#pragma once

#include "app/Form1.h"
#include "platform/Menu.h"

#include <array>

namespace qz {

// One entry of the menu tree and the handler its click runs (none for titles).
struct MenuEntry {
    MenuItem item;
    void (Form1::*click)();
};

// The whole tree, titles in bar order with their items below them; mnuTray comes first and never
// stands on the bar.
extern const std::array<MenuEntry, 33> kMenuTree;

// The entry of the given name; std::out_of_range when the tree has none.
const MenuEntry& menuEntry(std::string_view name);

} // namespace qz
