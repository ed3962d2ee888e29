#include "PortalNotifications.h"

#include <memory>

#include <QApplication>
#include <QWebEngineNotification>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "MainWindow.h"
#include "PermissionQuestions.h"
#include "PortalScope.h"
#include "SiteName.h"
#include "TrayBalloons.h"

namespace qz::PortalNotifications {

namespace {
bool sameSite(const QUrl& page, const QUrl& origin) {
    return page.scheme() == origin.scheme() && page.host() == origin.host() && page.port() == origin.port();
}

// The notification does not say which page sent it: the main window when its page is of that
// site, else the first browser window that shows the site.
void showSendingWindow(const QUrl& origin) {
    QWidget* found = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const auto* view = widget->findChild<QWebEngineView*>();
        if (!view || !sameSite(view->url(), origin))
            continue;
        if (qobject_cast<MainWindow*>(widget)) {
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

void present(std::unique_ptr<QWebEngineNotification> notification) {
    const QUrl origin = notification->origin();
    if (!PortalScope::built().contains(origin) || !PermissionQuestions::mayNotify(origin)) {
        notification->close();
        return;
    }
    std::shared_ptr<QWebEngineNotification> shown(std::move(notification));
    if (!TrayBalloons::show(shown->title(), shown->message(), [shown, origin] {
            shown->click();
            showSendingWindow(origin);
        })) {
        shown->close();
        return;
    }
    shown->show();
}
} // namespace

void presentFor(QWebEngineProfile* profile) {
    profile->setNotificationPresenter(&present);
}

} // namespace qz::PortalNotifications
