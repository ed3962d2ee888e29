#pragma once

#include <memory>

class QWebEngineProfile;

namespace qz {

class Downloads;
class Pages;
class PermissionQuestions;
class PortalNotifications;
class TrayBalloons;
class WindowPresence;
class WritableStorage;
struct ProxyInUse;

// The one browser profile of every page of the shell (the main window's page, the windows that links
// open, the Internet options dialog), with what its pages share: the answers to their permission
// questions, the pages themselves, their downloads and their notifications, which tell the user
// through balloons while the main window is not shown. It keeps cookies and cache on disk from one run
// to the next where storage allows. The application object owns it and lets it go before the
// QApplication, in an order that leaves nothing holding what is already gone: the pages (the browser
// windows still open, with their questions), then the services made for them, then the engine's
// profile. The main window's page belongs to the main window's browser, which goes before this.
class Profile final {
public:
    // Its pages load through proxy, the engine's as the shell chose it at start-up.
    Profile(const WritableStorage& storage, const TrayBalloons& balloons, const WindowPresence& mainWindow,
        const ProxyInUse& proxy);
    ~Profile();
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

    QWebEngineProfile* engineProfile() const { return m_engineProfile.get(); }
    Pages& pages() const { return *m_pages; }
    Downloads& downloads() const { return *m_downloads; }

private:
    std::unique_ptr<QWebEngineProfile> m_engineProfile;
    std::unique_ptr<PermissionQuestions> m_permissions;
    std::unique_ptr<Pages> m_pages;
    std::unique_ptr<Downloads> m_downloads;
    std::unique_ptr<PortalNotifications> m_notifications;
};

} // namespace qz
