#pragma once

#include <QString>
#include <QUrl>

namespace qz {

// How the shell names a site to the user in its questions: host and port as in the address bar
// ("127.0.0.1:8301"), or the whole address of a page that has no host.
QString siteName(const QUrl& origin);

} // namespace qz
