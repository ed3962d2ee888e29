#pragma once

#include <functional>

#include <QString>

namespace qz {

// Balloons from the shell's tray icon (a finished download, a portal page's notification). The
// running shell installs the one way to show them; whatever shows the icon shows its balloons.
namespace TrayBalloons {

using OnClick = std::function<void()>;
// Shows one balloon; false when there is no icon to show it from. A click on the balloon runs onClick.
using Shower = std::function<bool(const QString& title, const QString& text, OnClick onClick)>;

// Installs the shower; an empty one uninstalls it.
void install(Shower shower);

// Title and text are plain text. False when no balloon could be shown.
bool show(const QString& title, const QString& text, OnClick onClick = {});

} // namespace TrayBalloons
} // namespace qz
