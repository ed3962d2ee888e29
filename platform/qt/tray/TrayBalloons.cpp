#include "TrayBalloons.h"

#include <utility>

namespace qz::TrayBalloons {

namespace {
Shower& installed() {
    static Shower shower;
    return shower;
}
} // namespace

void install(Shower shower) {
    installed() = std::move(shower);
}

bool show(const QString& title, const QString& text, OnClick onClick) {
    const Shower& shower = installed();
    return shower && shower(title, text, std::move(onClick));
}

} // namespace qz::TrayBalloons
