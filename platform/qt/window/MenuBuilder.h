#pragma once

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "commands/MenuTree.h"

class QAction;
class QMainWindow;
class QMenu;

namespace qz {

// The window's menus, built once from the menu tree: the visible titles go on the menu bar in the
// tree's order, a hidden title (the tray menu) only ever pops up. Captions show exactly as written,
// with no access key; an item's shortcut acts while its window is the active one.
class MenuBuilder final {
public:
    // What picking a command item does; the program hands the pick on to the form's events.
    using PickHandler = std::function<void(const MenuItem& item)>;

    MenuBuilder(QMainWindow& window, std::span<const MenuItem> tree, const PickHandler& pick);
    MenuBuilder(const MenuBuilder&) = delete;
    MenuBuilder& operator=(const MenuBuilder&) = delete;

    // The menu of a title, or nullptr when the tree has no such title.
    QMenu* menu(std::string_view title) const;
    // The action of an item, or nullptr.
    QAction* action(std::string_view item) const;

private:
    void addTitle(QMainWindow& window, const MenuItem& title);
    void addItem(QMainWindow& window, const MenuItem& item, const PickHandler& pick);

    std::map<std::string, QMenu*, std::less<>> m_menus;
    std::map<std::string, QAction*, std::less<>> m_actions;
};

} // namespace qz
