#include "HandleTable.h"

#include <algorithm>

namespace qz {

std::uint32_t HandleTable::nextHandle() {
    m_last += 4;
    return m_last;
}

HWND HandleTable::addWindow(QWidget* window) {
    const HWND handle = nextHandle();
    m_windows.emplace(handle, window);
    return handle;
}

void HandleTable::removeWindow(HWND handle) {
    m_windows.erase(handle);
}

QWidget* HandleTable::window(HWND handle) const {
    const auto it = m_windows.find(handle);
    return it == m_windows.end() ? nullptr : it->second.data();
}

HICON HandleTable::iconHandle(const QIcon& icon) {
    const auto same = std::find_if(m_icons.begin(), m_icons.end(),
        [key = icon.cacheKey()](const auto& entry) { return entry.second.cacheKey() == key; });
    if (same != m_icons.end())
        return same->first;
    const HICON handle = nextHandle();
    m_icons.emplace(handle, icon);
    return handle;
}

std::optional<QIcon> HandleTable::icon(HICON handle) const {
    const auto it = m_icons.find(handle);
    if (it == m_icons.end())
        return std::nullopt;
    return it->second;
}

} // namespace qz
