#include "TrayPopupPosition.h"

namespace qz::TrayPopupPosition {

namespace {
std::optional<QPoint>& requested() {
    static std::optional<QPoint> position;
    return position;
}
} // namespace

Scope::Scope(QPoint position) {
    requested() = position;
}

Scope::~Scope() {
    requested().reset();
}

std::optional<QPoint> current() {
    return requested();
}

} // namespace qz::TrayPopupPosition
