#pragma once

#include <optional>

#include <QPoint>

namespace qz::TrayPopupPosition {

// Where the tray menu opens while a host's menu request that names a position is handled; the
// pointer is the place otherwise.
class Scope final {
public:
    explicit Scope(QPoint position);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

std::optional<QPoint> current();

} // namespace qz::TrayPopupPosition
