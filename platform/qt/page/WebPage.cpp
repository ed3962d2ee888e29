#include "WebPage.h"

#include <QTimer>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineSettings>

#include "BrowserWindow.h"
#include "OutsideLinks.h"
#include "Pages.h"
#include "PortalScope.h"
#include "TopLevelAddress.h"
#include "app/BuildConfig.h"

namespace qz {

const QString WebPage::kStoppedTitle = QStringLiteral("页面已停止响应");

namespace {
// The notice is a page of its own, not an address: it must show even when nothing else can load.
QString stoppedNotice(const QUrl& address) {
    QString html = QStringLiteral(
        "<!doctype html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>%1</title>"
        "<style>body{font-family:sans-serif;font-size:14px;margin:12px;line-height:1.5}"
        "h1{font-size:16px;margin:0 0 8px}"
        ".button{display:inline-block;padding:4px 14px;border:1px solid #888;border-radius:3px;"
        "background:#f0f0f0;color:#000;text-decoration:none}</style></head><body>"
        "<h1>%1</h1><p>显示此页面的程序意外退出了。</p>")
                       .arg(WebPage::kStoppedTitle);
    // Only an address the page can go to from here is offered.
    const QString scheme = address.scheme();
    if (address.isValid() && (scheme == u"http" || scheme == u"https"))
        html += QStringLiteral("<p><a class=\"button\" role=\"button\" href=\"%1\">重新加载</a></p>")
                    .arg(address.toString(QUrl::FullyEncoded).toHtmlEscaped());
    html += QStringLiteral("</body></html>");
    return html;
}
// A portal reached over https is trusted for its identity: no answer can stand in for its certificate.
bool isPortalOverHttps(const QUrl& address) {
    return QStringView(build::PortalScheme) == u"https" && PortalScope::built().contains(address);
}
} // namespace

WebPage::WebPage(Pages& pages, QObject* parent)
    : QWebEnginePage(pages.profile(), parent)
    , m_pages(pages)
    , m_certificates(this, &isPortalOverHttps)
    , m_outsideLinks(new OutsideLinks(this, pages.input()))
    , m_loadErrors(this, pages.proxy()) {
    // The engine lets scripts open windows at will unless told otherwise. With this off, windows
    // the user asked for (a click on a link or a button) still open, and a page that opens windows
    // on its own is held back, as a browser's pop-up blocker does.
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // A page's source is no part of the portal, and its window would be titled with an engine's address.
    action(ViewSource)->setVisible(false);
    // The engine asks through this signal because createWindow is left as it is.
    connect(this, &QWebEnginePage::newWindowRequested, this, &WebPage::openRequestedWindow);
    pages.adopt(this);
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        m_dialogs.reset();
        m_editableFocus.reset();
    });
    connect(this, &QWebEnginePage::renderProcessTerminated, this,
        [this](RenderProcessTerminationStatus status, int) { recoverRenderer(status); });
}

bool WebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    const bool accepted = admitsNavigation(url, type, isMainFrame);
    if (accepted && isMainFrame)
        m_certificates.goingTo(url);
    return accepted;
}

bool WebPage::admitsNavigation(const QUrl& url, NavigationType type, bool isMainFrame) {
    // Frames inside a portal page are the portal's own choice. The shell's own loads (its menus'
    // portal links, a reload, going back) lead to pages it showed or chose; every way a page itself
    // leaves (a link, a form, a script, a server's redirect at each hop) is judged.
    // A reload of the shell's error page would show that page again; it tries the failed address.
    if (isMainFrame && type == NavigationTypeReload && m_loadErrors.failedAddress().isValid()) {
        QTimer::singleShot(0, this, [this, address = m_loadErrors.failedAddress()] { load(address); });
        return false;
    }
    if (!isMainFrame)
        return OutsideLinks::admitsFrame(url);
    if (type == NavigationTypeTyped || type == NavigationTypeReload || type == NavigationTypeBackForward)
        return true;
    return m_outsideLinks->admits(url);
}

// Tabs, background tabs and script dialogs alike: the shell has windows, not tabs. A window for an
// address the shell does not show is never made: an outside page goes to the user's browser.
void WebPage::openRequestedWindow(QWebEngineNewWindowRequest& request) {
    if (!m_outsideLinks->admitsWindow(request.requestedUrl()))
        return;
    BrowserWindow* window = m_pages.openWindow();
    window->page()->m_outsideLinks->openedBy(url());
    request.openIn(window->page());
    // A script of the opener that touches the engine's initial empty document of the new window
    // (document.write into window.open('')) brings Qt WebEngine 6.4's browser process down with a
    // null dereference. The window gets an empty document of its own at once, with the opener's
    // address as its base: the opener keeps its right to write into it, and never meets the initial one.
    // Writes made before that, in the same script as window.open, OpenedWindowWrites holds back.
    const QRect content = request.requestedGeometry();
    if (content.isValid())
        window->fitContent(content);
    if (opensEmptyDocument(request.requestedUrl()))
        window->page()->setHtml(QString(), url());
    window->show();
}

void WebPage::javaScriptAlert(const QUrl& securityOrigin, const QString& text) {
    m_dialogs.alert(securityOrigin, text);
}

bool WebPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& text) {
    return m_dialogs.confirm(securityOrigin, text);
}

bool WebPage::javaScriptPrompt(
    const QUrl& securityOrigin, const QString& text, const QString& proposed, QString* answer) {
    *answer = proposed;
    return m_dialogs.prompt(securityOrigin, text, answer);
}

void WebPage::javaScriptConsoleMessage(
    JavaScriptConsoleMessageLevel level, const QString& message, int line, const QString& source) {
    if (!m_editableFocus.takeReport(message))
        QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
}

void WebPage::recoverRenderer(RenderProcessTerminationStatus status) {
    if (status == NormalTerminationStatus)
        return;
    // The notice is shown from memory: its own address is no place to go back to.
    const QUrl shown = url().isEmpty() ? requestedUrl() : url();
    if (!shown.isEmpty() && shown.scheme() != u"data")
        m_lastAddress = shown;
    const RendererCrashPolicy::Step step = m_crashes.onCrash(RendererCrashPolicy::Clock::now());
    // Not from inside the engine's report of the death: the page starts its next renderer afterwards.
    QTimer::singleShot(step.delay, this, [this, action = step.action] {
        if (action == RendererCrashPolicy::Action::Reload)
            reloadAfterCrash();
        else
            showStoppedNotice();
    });
}

void WebPage::reloadAfterCrash() {
    // A page that died before its first address was shown has nothing to reload.
    if (url().isEmpty() && m_lastAddress.isValid())
        load(m_lastAddress);
    else
        triggerAction(Reload);
}

void WebPage::showStoppedNotice() {
    setHtml(stoppedNotice(m_lastAddress));
}

} // namespace qz
