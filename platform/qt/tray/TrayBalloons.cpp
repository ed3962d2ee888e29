#include "TrayBalloons.h"

#include <utility>

namespace qz {

TrayBalloons::TrayBalloons(Shower shower)
    : m_shower(std::move(shower)) {}

bool TrayBalloons::show(const QString& title, const QString& text, OnClick onClick) const {
    return m_shower && m_shower(title, text, std::move(onClick));
}

} // namespace qz
