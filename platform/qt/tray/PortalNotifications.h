#pragma once

#include <memory>

#include <QObject>

class QUrl;
class QWebEngineNotification;
class QWebEngineProfile;

namespace qz {

class MainWindowPresence;
class PermissionQuestions;
class TrayBalloons;

// Notifications of the portal's pages show as balloons from the tray icon, once the user allowed
// the page's site to notify; a click on one shows the window of the page that sent it. A site
// outside the portal shows none, whatever the user answered. Owned by the profile it presents for.
class PortalNotifications final : public QObject {
    Q_OBJECT
public:
    PortalNotifications(QWebEngineProfile* profile, const PermissionQuestions& permissions,
        const TrayBalloons& balloons, const MainWindowPresence& mainWindow);

private:
    void present(std::unique_ptr<QWebEngineNotification> notification);
    // The notification does not say which page sent it: the main window when its page is of that
    // site, else the first browser window that shows the site.
    void showSendingWindow(const QUrl& origin);

    const PermissionQuestions& m_permissions;
    const TrayBalloons& m_balloons;
    const MainWindowPresence& m_mainWindow;
};

} // namespace qz
