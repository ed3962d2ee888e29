#include "LoadErrorPage.h"

#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

#include "ProxyText.h"
#include "platform/qt/SiteName.h"

namespace qz {

namespace {
// The engine's codes (net_error_list.h) for what a user can tell apart and act on.
constexpr int kAborted = -3;
constexpr int kTimedOut = -7;
constexpr int kConnectionClosed = -100;
constexpr int kConnectionReset = -101;
constexpr int kConnectionRefused = -102;
constexpr int kNameNotResolved = -105;
constexpr int kInternetDisconnected = -106;
constexpr int kConnectionTimedOut = -118;
constexpr int kNameResolutionFailed = -137;
constexpr int kTunnelConnectionFailed = -111;
constexpr int kProxyAuthUnsupported = -115;
constexpr int kProxyConnectionFailed = -130;
constexpr int kMandatoryProxyConfigurationFailed = -131;
constexpr int kProxyCertificateInvalid = -136;

QString whatWentWrong(const QWebEngineLoadingInfo& loading, const ProxyInUse& proxy) {
    if (loading.errorDomain() == QWebEngineLoadingInfo::CertificateErrorDomain)
        return QStringLiteral("这个网站的安全证书有问题，为保护您的信息，连接已被阻止。");
    switch (loading.errorCode()) {
    case kTunnelConnectionFailed:
    case kProxyAuthUnsupported:
    case kProxyConnectionFailed:
    case kMandatoryProxyConfigurationFailed:
    case kProxyCertificateInvalid:
        return QStringLiteral("无法连接到代理服务器 %1。这个代理设置来自%2，请检查代理设置或联系网络管理员。")
            .arg(proxyText(proxy), proxySourceText(proxy));
    case kConnectionRefused:
        return QStringLiteral("网站的服务器拒绝了连接，它可能暂时关闭了。");
    case kNameNotResolved:
    case kNameResolutionFailed:
        return QStringLiteral("找不到这个网站的服务器，请检查网址是否正确。");
    case kInternetDisconnected:
        return QStringLiteral("这台电脑没有连接到网络。");
    case kTimedOut:
    case kConnectionTimedOut:
        return QStringLiteral("网站的服务器响应时间过长。");
    case kConnectionClosed:
    case kConnectionReset:
        return QStringLiteral("与网站的连接意外中断了。");
    default:
        return QStringLiteral("无法与网站的服务器建立连接。");
    }
}

QString errorPage(const QUrl& address, const QString& reason) {
    const QString title = QStringLiteral("无法访问 %1").arg(siteName(address)).toHtmlEscaped();
    return QStringLiteral(
        "<!doctype html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>%1</title>"
        "<style>body{font-family:sans-serif;font-size:14px;margin:12px;line-height:1.5}"
        "h1{font-size:16px;margin:0 0 8px}"
        ".button{display:inline-block;padding:4px 14px;border:1px solid #888;border-radius:3px;"
        "background:#f0f0f0;color:#000;text-decoration:none}</style></head><body>"
        "<h1>%1</h1><p>%2</p><p>请检查网络连接，稍后再试。</p>"
        "<p><a class=\"button\" href=\"%3\">重试</a></p></body></html>")
        .arg(title, reason.toHtmlEscaped(), address.toString(QUrl::FullyEncoded).toHtmlEscaped());
}
} // namespace

LoadErrorPage::LoadErrorPage(QWebEnginePage* page, const ProxyInUse& proxy)
    : QObject(page)
    , m_page(page)
    , m_proxy(proxy) {
    connect(page, &QWebEnginePage::loadingChanged, this, &LoadErrorPage::onLoading);
}

void LoadErrorPage::onLoading(const QWebEngineLoadingInfo& loading) {
    if (loading.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
        // The failure stays until another page is shown, so that a reload of the notice tries again.
        if (!m_showing)
            m_failed.clear();
        m_showing = false;
        return;
    }
    const QUrl address = loading.url();
    const QString scheme = address.scheme();
    // A stop, or a way out the shell refused, is no failure to show; an answer of the server's is the
    // server's page.
    if (loading.status() != QWebEngineLoadingInfo::LoadFailedStatus || loading.errorCode() == kAborted
        || loading.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain
        || (scheme != u"http" && scheme != u"https"))
        return;
    m_failed = address;
    m_showing = true;
    // With the failed address as its base, the page shows that address and its 重试 goes there.
    m_page->setHtml(errorPage(address, whatWentWrong(loading, m_proxy)), address);
}

} // namespace qz
