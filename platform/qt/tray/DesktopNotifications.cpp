#include "DesktopNotifications.h"

#include <utility>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace qz {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = kService;
const QString kDefaultAction = QStringLiteral("default");
// The server's own time for a notification.
constexpr int kServerTimeout = -1;

QDBusMessage call(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}
} // namespace

bool DesktopNotifications::available() {
    const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (!bus)
        return false;
    return bus->isServiceRegistered(kService) || bus->activatableServiceNames().value().contains(kService);
}

bool DesktopNotifications::show(const QString& title, const QString& text, OnClick onClick) {
    if (!available())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_listening) {
        bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
            SLOT(actionInvoked(uint, QString)));
        bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
            SLOT(closed(uint, uint)));
        m_listening = true;
    }
    // A server that reads markup in the body would draw a name like "<b>x</b>" as bold: it gets the
    // text escaped, one that does not gets it as it is.
    auto* capabilities
        = new QDBusPendingCallWatcher(bus.asyncCall(call(QStringLiteral("GetCapabilities"))), this);
    connect(capabilities, &QDBusPendingCallWatcher::finished, this,
        [this, title, text, onClick = std::move(onClick)](QDBusPendingCallWatcher* watcher) mutable {
            watcher->deleteLater();
            const QDBusPendingReply<QStringList> reply = *watcher;
            const bool markup = reply.isValid() && reply.value().contains(QStringLiteral("body-markup"));
            notify(title, markup ? text.toHtmlEscaped() : text, std::move(onClick));
        });
    return true;
}

void DesktopNotifications::notify(const QString& title, const QString& body, OnClick onClick) {
    QDBusMessage message = call(QStringLiteral("Notify"));
    const QStringList actions
        = onClick ? QStringList { kDefaultAction, QStringLiteral("打开") } : QStringList {};
    message << QCoreApplication::applicationName() << m_shown << QString() << title << body << actions
            << QVariantMap() << kServerTimeout;
    auto* sent = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(message), this);
    connect(sent, &QDBusPendingCallWatcher::finished, this,
        [this, onClick = std::move(onClick)](QDBusPendingCallWatcher* watcher) mutable {
            watcher->deleteLater();
            const QDBusPendingReply<uint> reply = *watcher;
            if (reply.isError()) {
                qWarning("qz-shell: the desktop did not show a notification: %s",
                    qPrintable(reply.error().message()));
                return;
            }
            m_shown = reply.value();
            m_onClick = std::move(onClick);
        });
}

void DesktopNotifications::actionInvoked(uint id, const QString& action) {
    if (id != m_shown || action != kDefaultAction || !m_onClick)
        return;
    const OnClick onClick = m_onClick;
    onClick();
}

void DesktopNotifications::closed(uint id, uint) {
    if (id != m_shown)
        return;
    m_shown = 0;
    m_onClick = {};
}

} // namespace qz
