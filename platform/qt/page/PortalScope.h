#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QUrl;

namespace qz {

// The web addresses whose pages the shell shows itself: the portal's four hosts and the hosts the
// build trusts besides. The engine is fit for trusted content only; every other web address opens in
// the user's own browser. Fixed when the shell is built.
class PortalScope final {
public:
    // Each entry is a bare "host" or "host:port" as the build writes it; a bare host stands for the
    // scheme's own port (80 for http, 443 for https), an entry with a port for that port alone.
    // portalScheme is the one the portal's links are built with. A portal on https is trusted over
    // https alone: a page of its hosts over http could have been rewritten by anyone on the way. One on
    // http is trusted over both, as it may well send its visitors to its https pages.
    PortalScope(const QStringList& hosts, const QString& portalScheme);

    // The scope the shell was built with.
    static const PortalScope& built();

    bool contains(const QUrl& address) const;

private:
    struct Site {
        // In its ASCII form, as an address's host compares with it.
        QString host;
        // -1: the scheme's own port.
        int port;
    };
    QList<Site> m_sites;
    bool m_httpsOnly;
};

} // namespace qz
