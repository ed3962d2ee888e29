#pragma once

class QUrl;
class QWidget;

namespace qz {

// The user's own browser, the desktop's choice (xdg-open, or the desktop portal in a sandbox).
namespace DefaultBrowser {

// Opens address there. When no browser can be started, a message in Chinese says so, names the
// address and offers to copy it; parent is the window it belongs to, or nullptr.
void open(const QUrl& address, QWidget* parent);

} // namespace DefaultBrowser
} // namespace qz
