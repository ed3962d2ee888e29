#include "PortalNotifications.h"

#include <memory>

#include <QWebEngineNotification>
#include <QWebEngineProfile>
#include <QWidget>

#include "TrayBalloons.h"
#include "platform/qt/WindowPresence.h"
#include "platform/qt/page/Pages.h"
#include "platform/qt/page/PortalScope.h"
#include "platform/qt/page/WebPage.h"
#include "platform/qt/questions/PageWindow.h"
#include "platform/qt/questions/PermissionQuestions.h"

namespace qz {

namespace {
bool sameSite(const QUrl& page, const QUrl& origin) {
    return page.scheme() == origin.scheme() && page.host() == origin.host() && page.port() == origin.port();
}
} // namespace

PortalNotifications::PortalNotifications(QWebEngineProfile* profile, const Pages& pages,
    const PermissionQuestions& permissions, const TrayBalloons& balloons, const WindowPresence& mainWindow)
    : m_pages(pages)
    , m_permissions(permissions)
    , m_balloons(balloons)
    , m_mainWindow(mainWindow) {
    profile->setNotificationPresenter(
        [this](std::unique_ptr<QWebEngineNotification> notification) { present(std::move(notification)); });
}

void PortalNotifications::showSendingWindow(const QUrl& origin) {
    QWidget* found = nullptr;
    for (WebPage* page : m_pages.pages()) {
        QWidget* widget = pageWindow(page);
        if (!widget || !sameSite(page->url(), origin))
            continue;
        if (m_mainWindow.is(widget)) {
            found = widget;
            break;
        }
        if (!found && widget->isVisible())
            found = widget;
    }
    if (!found)
        return;
    // As the tray icon's click brings the main window back: shown, not minimized, in front.
    found->setWindowState(found->windowState() & ~Qt::WindowMinimized);
    found->show();
    found->raise();
    found->activateWindow();
}

void PortalNotifications::present(std::unique_ptr<QWebEngineNotification> notification) {
    const QUrl origin = notification->origin();
    if (!PortalScope::built().contains(origin) || !m_permissions.mayNotify(origin)) {
        notification->close();
        return;
    }
    std::shared_ptr<QWebEngineNotification> shown(std::move(notification));
    if (!m_balloons.show(shown->title(), shown->message(), [this, shown, origin] {
            shown->click();
            showSendingWindow(origin);
        })) {
        shown->close();
        return;
    }
    shown->show();
}

} // namespace qz
