#pragma once

#include <optional>

#include <QPoint>

namespace qz {

// Where the tray menu opens while a host's menu request that names a position is handled; the
// pointer is the place otherwise. The tray's calls set it, the window's popup reads it.
class TrayPopupPosition final {
public:
    // The position holds for the scope's lifetime.
    class Scope final {
    public:
        Scope(TrayPopupPosition& position, QPoint at);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        TrayPopupPosition& m_position;
    };

    std::optional<QPoint> current() const { return m_requested; }

private:
    std::optional<QPoint> m_requested;
};

} // namespace qz
