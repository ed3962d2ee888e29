#include "PortalScope.h"

#include <algorithm>

#include <QUrl>

#include "app/BuildConfig.h"

namespace qz {

namespace {
int defaultPort(const QString& scheme) {
    if (scheme == u"http")
        return 80;
    if (scheme == u"https")
        return 443;
    return -1;
}
} // namespace

PortalScope::PortalScope(const QStringList& hosts, const QString& portalScheme)
    : m_httpsOnly(portalScheme == u"https") {
    for (const QString& entry : hosts) {
        // Read as an address would be, so that the host compares in the same (lower-case, ASCII) form.
        const QUrl parsed(QStringLiteral("http://") + entry.trimmed() + u'/', QUrl::StrictMode);
        if (parsed.isValid() && !parsed.host().isEmpty() && parsed.userInfo().isEmpty())
            m_sites.append({ parsed.host(QUrl::FullyEncoded), parsed.port() });
    }
}

const PortalScope& PortalScope::built() {
    static const PortalScope scope = [] {
        QStringList hosts;
        for (const char16_t* host :
            { build::ServiceHost, build::SearchHost, build::SiteHost, build::HomeHost })
            hosts.append(QString::fromUtf16(host));
        hosts += QString::fromUtf16(build::TrustedHosts).split(u',', Qt::SkipEmptyParts);
        return PortalScope(hosts, QString::fromUtf16(build::PortalScheme));
    }();
    return scope;
}

bool PortalScope::contains(const QUrl& address) const {
    const int schemePort = defaultPort(address.scheme());
    // A name and password before the host are a way to make an outside address read like a portal
    // one (http://portal.example.com@evil.example/); the portal's own links carry none.
    if (schemePort < 0 || !address.isValid() || !address.userInfo().isEmpty())
        return false;
    if (m_httpsOnly && address.scheme() != u"https")
        return false;
    const QString host = address.host(QUrl::FullyEncoded);
    const int port = address.port(schemePort);
    return std::any_of(m_sites.begin(), m_sites.end(), [&](const Site& site) {
        return site.host == host && port == (site.port < 0 ? schemePort : site.port);
    });
}

} // namespace qz
