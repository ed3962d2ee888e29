#pragma once

class QUrl;
class QWidget;

namespace qz {

// Asks whether address, which no web page can show, should go to the program the desktop keeps for
// it (a mail program for mailto:, say), naming both; the address goes there only on 打开.
// parent is the page's window, or nullptr.
void askToOpenExternally(const QUrl& address, QWidget* parent);

} // namespace qz
