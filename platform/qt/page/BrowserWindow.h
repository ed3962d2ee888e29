#pragma once

#include <QMainWindow>

class QLineEdit;
class QWebEngineView;

namespace qz {

class Pages;
class WebPage;

// A top-level browser window of the shell's own, for pages opened with the target "_blank" and for
// windows that pages open, made by the shell's pages (Pages::openWindow). Its page shares their
// profile, so a portal login carries over. It deletes itself when closed.
class BrowserWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit BrowserWindow(Pages& pages);

    QWebEngineView* view() const { return m_view; }
    WebPage* page() const { return m_page; }
    // Shapes the window so that its page shows in content (screen coordinates), as far as the screen
    // allows: the title bar and the address bar always stay on the screen.
    void fitContent(const QRect& content);

private:
    void addNavigationBar();
    void showPageTitle();

    QWebEngineView* m_view;
    WebPage* m_page;
    QLineEdit* m_address;
    QSize m_bars;
};

} // namespace qz
