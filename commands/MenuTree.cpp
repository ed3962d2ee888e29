#include "MenuTree.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace qz {

const MenuItem& menuItem(std::string_view name) {
    const auto it = std::find_if(
        kMenuTree.begin(), kMenuTree.end(), [name](const MenuItem& e) { return e.name == name; });
    if (it == kMenuTree.end())
        throw std::out_of_range("no menu item " + std::string(name));
    return *it;
}

} // namespace qz
