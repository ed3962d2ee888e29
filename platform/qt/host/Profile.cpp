#include "Profile.h"

#include <QApplication>
#include <QPointer>
#include <QWebEngineProfile>

#include "WritableStorage.h"
#include "platform/qt/downloads/Downloads.h"
#include "platform/qt/tray/PortalNotifications.h"

namespace qz {

namespace {
// Named, because the engine keeps nothing on disk for its default profile.
constexpr char kStorageName[] = "qz-shell";
} // namespace

QWebEngineProfile* shellProfile() {
    static QPointer<QWebEngineProfile> profile;
    if (profile)
        return profile;

    // Owned by the application object: the main window and the browser windows, which go before
    // it, release their pages first, and the engine flushes cookies and cache when the profile goes.
    if (WritableStorage::profileOnDisk()) {
        profile = new QWebEngineProfile(QString::fromLatin1(kStorageName), qApp);
        // A portal login is a session cookie; a system browser that restores its session keeps it too.
        profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
        profile->setHttpCacheType(WritableStorage::cacheOnDisk() ? QWebEngineProfile::DiskHttpCache
                                                                 : QWebEngineProfile::MemoryHttpCache);
    } else {
        // Nothing can be kept: the whole profile lives in memory for this run.
        profile = new QWebEngineProfile(qApp);
    }
    // Without a handler the engine cancels every download, an installer the portal offers too.
    new Downloads(profile);
    PortalNotifications::presentFor(profile);
    return profile;
}

} // namespace qz
