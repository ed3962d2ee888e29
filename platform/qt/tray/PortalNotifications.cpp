#include "PortalNotifications.h"

#include <memory>

#include <QApplication>
#include <QWebEngineNotification>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "TrayBalloons.h"
#include "platform/qt/SiteName.h"
#include "platform/qt/page/PortalScope.h"
#include "platform/qt/questions/PermissionQuestions.h"
#include "platform/qt/window/MainWindowPresence.h"

namespace qz {

namespace {
bool sameSite(const QUrl& page, const QUrl& origin) {
    return page.scheme() == origin.scheme() && page.host() == origin.host() && page.port() == origin.port();
}
} // namespace

PortalNotifications::PortalNotifications(QWebEngineProfile* profile, const PermissionQuestions& permissions,
    const TrayBalloons& balloons, const MainWindowPresence& mainWindow)
    : QObject(profile)
    , m_permissions(permissions)
    , m_balloons(balloons)
    , m_mainWindow(mainWindow) {
    profile->setNotificationPresenter(
        [this](std::unique_ptr<QWebEngineNotification> notification) { present(std::move(notification)); });
}

void PortalNotifications::showSendingWindow(const QUrl& origin) {
    QWidget* found = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const auto* view = widget->findChild<QWebEngineView*>();
        if (!view || !sameSite(view->url(), origin))
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
