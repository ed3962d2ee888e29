#include "Pages.h"

#include <utility>

#include "BrowserWindow.h"
#include "WebPage.h"
#include "platform/qt/questions/PermissionQuestions.h"

namespace qz {

Pages::Pages(QWebEngineProfile* profile, PermissionQuestions* permissions, ProxyInUse proxy)
    : m_profile(profile)
    , m_permissions(permissions)
    , m_input(nullptr)
    , m_proxy(std::move(proxy)) {}

Pages::~Pages() {
    closeWindows();
}

void Pages::adopt(WebPage* page) {
    m_pages.removeAll(nullptr);
    m_pages.append(page);
    if (m_permissions)
        m_permissions->answerFor(page);
}

QList<WebPage*> Pages::pages() const {
    QList<WebPage*> live;
    for (const QPointer<WebPage>& page : m_pages)
        if (page)
            live.append(page);
    return live;
}

BrowserWindow* Pages::openWindow() {
    m_windows.removeAll(nullptr);
    auto* window = new BrowserWindow(*this);
    m_windows.append(window);
    return window;
}

void Pages::closeWindows() {
    // Taken first: a window's going may not change the list under the loop.
    const QList<QPointer<BrowserWindow>> windows = std::exchange(m_windows, {});
    for (const QPointer<BrowserWindow>& window : windows)
        delete window.get();
}

} // namespace qz
