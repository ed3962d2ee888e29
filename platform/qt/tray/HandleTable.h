#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include "platform/TraySystemCalls.h"

namespace qz {

// The 32-bit handles that the tray's icon record carries, each naming a window or an icon of the
// toolkit. X window ids are not used: a window has none until it is first shown, and the record is
// filled before that. Handles are never reused, so a stale one names nothing.
class HandleTable final {
public:
    HWND addWindow(QWidget* window);
    void removeWindow(HWND handle);
    // The window a handle names; nullptr once it is removed or the widget is gone.
    QWidget* window(HWND handle) const;

    // The same icon (by Qt's cache key) always gets the same handle.
    HICON iconHandle(const QIcon& icon);
    std::optional<QIcon> icon(HICON handle) const;

private:
    std::uint32_t nextHandle();

    // Handles look like the system's own: small, even and never 0.
    std::uint32_t m_last = 0x00010000;
    std::map<HWND, QPointer<QWidget>> m_windows;
    std::map<HICON, QIcon> m_icons;
};

} // namespace qz
