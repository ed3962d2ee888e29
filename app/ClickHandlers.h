#pragma once

#include "app/Form1.h"

#include <string_view>

namespace qz {

using ClickHandler = void (Form1::*)();

// The click handler of a menu item of the tree, named after it; nullptr for titles and unknown names.
ClickHandler clickHandler(std::string_view item);

} // namespace qz
