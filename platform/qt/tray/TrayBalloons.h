#pragma once

#include <functional>

#include <QString>

namespace qz {

// Balloons from the shell's tray icon (a finished download, a portal page's notification). The
// application object owns the one instance and hands it to whatever tells the user something; the
// shower it is given shows the balloon from whatever shows the icon.
class TrayBalloons final {
public:
    using OnClick = std::function<void()>;
    // Shows one balloon; false when there is no icon to show it from. A click on the balloon runs onClick.
    using Shower = std::function<bool(const QString& title, const QString& text, OnClick onClick)>;

    // Without a shower no balloon can be shown.
    explicit TrayBalloons(Shower shower = {});

    // Title and text are plain text. False when no balloon could be shown.
    bool show(const QString& title, const QString& text, OnClick onClick = {}) const;

private:
    Shower m_shower;
};

} // namespace qz
