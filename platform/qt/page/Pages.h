#pragma once

#include <QList>
#include <QPointer>

#include "PageInput.h"
#include "ProxyInUse.h"

class QWebEngineProfile;

namespace qz {

class BrowserWindow;
class PermissionQuestions;
class WebPage;

// The shell's pages on its one profile, and what they share: the profile, the answers to their
// permission questions and the one watcher of the user's clicks and keys in them. Every page is made
// with it, and every browser window a page or a portal link opens is made by it, so that on the way
// out it closes them while the profile and its services are still there. The application object
// makes it after the profile and the permission questions and lets it go before them.
class Pages final {
public:
    // Without permission questions a page's requests are left unanswered.
    Pages(QWebEngineProfile* profile, PermissionQuestions* permissions, ProxyInUse proxy = {});
    ~Pages();
    Pages(const Pages&) = delete;
    Pages& operator=(const Pages&) = delete;

    QWebEngineProfile* profile() const { return m_profile; }
    PageInput& input() { return m_input; }
    // The proxy the profile loads through, which a page that cannot be loaded names.
    const ProxyInUse& proxy() const { return m_proxy; }

    // A new page joins the others: its requests are answered by the shared questions.
    void adopt(WebPage* page);
    // The pages still there, oldest first; the main window's among them.
    QList<WebPage*> pages() const;

    // A new browser window on the profile, not shown yet. It deletes itself when closed.
    BrowserWindow* openWindow();
    // Deletes the browser windows still there, and their pages with them.
    void closeWindows();

private:
    QWebEngineProfile* m_profile;
    PermissionQuestions* m_permissions;
    PageInput m_input;
    ProxyInUse m_proxy;
    QList<QPointer<WebPage>> m_pages;
    QList<QPointer<BrowserWindow>> m_windows;
};

} // namespace qz
