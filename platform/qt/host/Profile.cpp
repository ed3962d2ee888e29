#include "Profile.h"

#include <QWebEngineProfile>
#include <QtGlobal>

#include "WritableStorage.h"
#include "platform/qt/downloads/Downloads.h"
#include "platform/qt/page/Pages.h"
#include "platform/qt/questions/PermissionQuestions.h"
#include "platform/qt/tray/PortalNotifications.h"

namespace qz {

namespace {
// Named, because the engine keeps nothing on disk for its default profile.
constexpr char kStorageName[] = "qz-shell";

std::unique_ptr<QWebEngineProfile> createEngineProfile(const WritableStorage& storage) {
    // Nothing can be kept: the whole profile lives in memory for this run.
    if (!storage.profileOnDisk())
        return std::make_unique<QWebEngineProfile>();
    // The engine flushes cookies and cache when the profile goes.
    auto profile = std::make_unique<QWebEngineProfile>(QString::fromLatin1(kStorageName));
    // A portal login is a session cookie; a system browser that restores its session keeps it too.
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    profile->setHttpCacheType(
        storage.cacheOnDisk() ? QWebEngineProfile::DiskHttpCache : QWebEngineProfile::MemoryHttpCache);
    return profile;
}
} // namespace

Profile::Profile(const WritableStorage& storage, const TrayBalloons& balloons,
    const WindowPresence& mainWindow, const ProxyInUse& proxy)
    : m_engineProfile(createEngineProfile(storage))
    , m_permissions(std::make_unique<PermissionQuestions>(mainWindow))
    , m_pages(std::make_unique<Pages>(m_engineProfile.get(), m_permissions.get(), proxy))
    // Without a handler the engine cancels every download, an installer the portal offers too.
    , m_downloads(std::make_unique<Downloads>(m_engineProfile.get(), m_pages->input(), balloons, mainWindow))
    , m_notifications(std::make_unique<PortalNotifications>(
          m_engineProfile.get(), *m_pages, *m_permissions, balloons, mainWindow)) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The shell keeps no settings: an answer holds until the shell ends, kept by its permission questions,
    // which also refuse unasked while the window is hidden, a refusal that must not outlast that moment.
    m_engineProfile->setPersistentPermissionsPolicy(
        QWebEngineProfile::PersistentPermissionsPolicy::AskEveryTime);
#endif
}

Profile::~Profile() {
    // The pages first: the engine's profile must outlive them, and they ask the services.
    m_pages->closeWindows();
    m_notifications.reset();
    m_downloads.reset();
    m_pages.reset();
    m_permissions.reset();
    m_engineProfile.reset();
}

} // namespace qz
