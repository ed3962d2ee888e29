#include "Profile.h"

#include <QApplication>
#include <QWebEngineProfile>
#include <QtGlobal>

#include "WritableStorage.h"
#include "platform/qt/downloads/Downloads.h"
#include "platform/qt/questions/PermissionQuestions.h"
#include "platform/qt/tray/PortalNotifications.h"

namespace qz {

namespace {
// Named, because the engine keeps nothing on disk for its default profile.
constexpr char kStorageName[] = "qz-shell";
} // namespace

QWebEngineProfile* createProfile(
    const WritableStorage& storage, const TrayBalloons& balloons, const MainWindowPresence& mainWindow) {
    QWebEngineProfile* profile = nullptr;
    // The engine flushes cookies and cache when the profile goes, with the QApplication.
    if (storage.profileOnDisk()) {
        profile = new QWebEngineProfile(QString::fromLatin1(kStorageName), qApp);
        // A portal login is a session cookie; a system browser that restores its session keeps it too.
        profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
        profile->setHttpCacheType(
            storage.cacheOnDisk() ? QWebEngineProfile::DiskHttpCache : QWebEngineProfile::MemoryHttpCache);
    } else {
        // Nothing can be kept: the whole profile lives in memory for this run.
        profile = new QWebEngineProfile(qApp);
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The shell keeps no settings: an answer holds until the shell ends, kept by its permission questions,
    // which also refuse unasked while the window is hidden, a refusal that must not outlast that moment.
    profile->setPersistentPermissionsPolicy(QWebEngineProfile::PersistentPermissionsPolicy::AskEveryTime);
#endif
    // Without a handler the engine cancels every download, an installer the portal offers too.
    new Downloads(profile, balloons, mainWindow);
    const auto* permissions = new PermissionQuestions(profile, mainWindow);
    new PortalNotifications(profile, *permissions, balloons, mainWindow);
    return profile;
}

} // namespace qz
