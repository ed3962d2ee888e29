#pragma once

#include <QObject>
#include <QUrl>

class QWebEngineLoadingInfo;
class QWebEnginePage;

namespace qz {

struct ProxyInUse;

// When a page cannot be loaded at all (no server, no name, a broken connection, a refused
// certificate), the engine shows an error page of its own with its error codes and its own product's
// menus. The shell shows its own instead: in Chinese, naming the site and what went wrong in plain
// words, with 重试. The page keeps the failed address, so the address bar and 重试 lead back to it.
// A server's own error page (a 404 or a 500 with a body) stays as the server made it. A proxy that
// cannot be reached is named, as the place to look.
class LoadErrorPage final : public QObject {
    Q_OBJECT
public:
    LoadErrorPage(QWebEnginePage* page, const ProxyInUse& proxy);

    // The address whose failure is shown, or an empty one when another page is shown.
    const QUrl& failedAddress() const { return m_failed; }

private:
    void onLoading(const QWebEngineLoadingInfo& loading);

    QWebEnginePage* m_page;
    const ProxyInUse& m_proxy;
    QUrl m_failed;
    bool m_showing = false;
};

} // namespace qz
