#include "TopLevelAddress.h"

#include <QString>
#include <QUrl>

#include "PortalScope.h"

namespace qz {

namespace {
bool isWeb(const QString& scheme) {
    return scheme == u"http" || scheme == u"https";
}

// Addresses the engine makes or reads itself, and those of this computer: none is ever shown at a
// window's top level for a page's asking, and none goes to the desktop.
bool isLocalOrEngine(const QString& scheme) {
    static const char16_t* const kSchemes[] = { u"file", u"filesystem", u"view-source", u"chrome",
        u"chrome-error", u"chrome-extension", u"chrome-untrusted", u"devtools", u"qrc", u"about", u"blob",
        u"data", u"javascript", u"ws", u"wss" };
    for (const char16_t* known : kSchemes) {
        if (scheme == QStringView(known))
            return true;
    }
    return false;
}

// The address whose origin a document has: a blob:'s is the address inside it.
QUrl originAddress(const QUrl& address) {
    if (address.scheme() == u"blob")
        return QUrl(address.path(QUrl::FullyEncoded), QUrl::StrictMode);
    return address;
}

bool isPortalDocument(const QUrl& address, const PortalScope& scope) {
    const QUrl origin = originAddress(address);
    return isWeb(origin.scheme()) && scope.contains(origin);
}

bool isEmptyPage(const QUrl& address) {
    return address.scheme() == u"about" && address.path() == u"blank";
}
} // namespace

bool opensEmptyDocument(const QUrl& requested) {
    return requested.isEmpty() || isEmptyPage(requested);
}

bool engineLoads(const QUrl& address) {
    const QString scheme = address.scheme();
    return isWeb(scheme) || isLocalOrEngine(scheme) || scheme.isEmpty();
}

TopLevelVerdict judgeTopLevel(const QUrl& target, const QUrl& shown, const PortalScope& scope) {
    const QString scheme = target.scheme();
    if (isWeb(scheme))
        return scope.contains(target) ? TopLevelVerdict::Show : TopLevelVerdict::HandToBrowser;
    if (scheme == u"blob")
        return isPortalDocument(target, scope) ? TopLevelVerdict::Show : TopLevelVerdict::Refuse;
    if (scheme == u"data" || scheme == u"javascript")
        return isPortalDocument(shown, scope) ? TopLevelVerdict::Show : TopLevelVerdict::Refuse;
    if (isEmptyPage(target))
        return shown.isEmpty() || isEmptyPage(shown) ? TopLevelVerdict::Show : TopLevelVerdict::Refuse;
    // A window that shows a file of this computer, which only the shell itself can have loaded
    // there, may go on to another.
    if (scheme == u"file" && shown.scheme() == u"file")
        return TopLevelVerdict::Show;
    if (isLocalOrEngine(scheme) || scheme.isEmpty() || !target.isValid())
        return TopLevelVerdict::Refuse;
    return isPortalDocument(shown, scope) ? TopLevelVerdict::AskDesktop : TopLevelVerdict::Refuse;
}

} // namespace qz
