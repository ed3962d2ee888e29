#include "WebPage.h"

#include <QWebEngineSettings>

#include "BrowserWindow.h"

namespace qz {

WebPage::WebPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
    // The engine lets scripts open windows at will unless told otherwise. With this off, windows
    // the user asked for (a click on a link or a button) still open, and a page that opens windows
    // on its own is held back, as a browser's pop-up blocker does.
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
}

// Tabs, background tabs and script dialogs alike: the shell has windows, not tabs.
QWebEnginePage* WebPage::createWindow(WebWindowType) {
    auto* window = new BrowserWindow(profile());
    window->show();
    return window->page();
}

} // namespace qz
