#include "TrayPopupPosition.h"

namespace qz {

TrayPopupPosition::Scope::Scope(TrayPopupPosition& position, QPoint at)
    : m_position(position) {
    m_position.m_requested = at;
}

TrayPopupPosition::Scope::~Scope() {
    m_position.m_requested.reset();
}

} // namespace qz
