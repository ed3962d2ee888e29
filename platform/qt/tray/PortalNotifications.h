#pragma once

#include <memory>

#include <QObject>

class QUrl;
class QWebEngineNotification;
class QWebEngineProfile;

namespace qz {

class Pages;
class PermissionQuestions;
class TrayBalloons;
class WindowPresence;

// Notifications of the portal's pages show as balloons from the tray icon, once the user allowed
// the page's site to notify; a click on one shows the window of the page that sent it. A site
// outside the portal shows none, whatever the user answered. The application object owns it beside
// the profile it presents for, and lets it go before the profile.
class PortalNotifications final : public QObject {
    Q_OBJECT
public:
    PortalNotifications(QWebEngineProfile* profile, const Pages& pages,
        const PermissionQuestions& permissions, const TrayBalloons& balloons,
        const WindowPresence& mainWindow);

private:
    void present(std::unique_ptr<QWebEngineNotification> notification);
    // The notification does not say which page sent it: the main window when its page is of that
    // site, else the first browser window that shows the site.
    void showSendingWindow(const QUrl& origin);

    const Pages& m_pages;
    const PermissionQuestions& m_permissions;
    const TrayBalloons& m_balloons;
    const WindowPresence& m_mainWindow;
};

} // namespace qz
