#include "SiteName.h"

namespace qz {

QString siteName(const QUrl& origin) {
    if (origin.host().isEmpty())
        return origin.toDisplayString(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment);
    // The port shows only where it is not the scheme's own, as an address bar shows it.
    return origin.port() < 0 ? origin.host() : QStringLiteral("%1:%2").arg(origin.host()).arg(origin.port());
}

} // namespace qz
