#include "StatusNotifierTray.h"

#include <chrono>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QTimer>

#include "DBusMenuExporter.h"

namespace qz {

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");
constexpr int kRegisterAttempts = 40;
constexpr std::chrono::milliseconds kRegisterRetry { 250 };

QString nextConnectionName() {
    // Process-wide by nature: no two items of the process may share a bus connection's name.
    static int count = 0;
    return QStringLiteral("qz-status-notifier-%1").arg(++count);
}

// The name the item goes by on the bus: the process and the item's connection.
QString serviceName(const QString& connectionName) {
    const QString pid = QString::number(QCoreApplication::applicationPid());
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(pid, connectionName.section(u'-', -1));
}
} // namespace

StatusNotifierTray::StatusNotifierTray(StatusNotifierItem::Activated activated)
    : m_connectionName(nextConnectionName())
    , m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName))
    , m_serviceName(serviceName(m_connectionName))
    , m_item(new StatusNotifierItem(&m_itemObject, QDBusObjectPath(kMenuPath), std::move(activated)))
    , m_menu(new DBusMenuExporter(&m_menuObject))
    , m_watcher(kWatcherService, m_connection, QDBusServiceWatcher::WatchForOwnerChange) {
    if (!m_connection.isConnected())
        return; // no session bus: only docking hosts can show the icon
    m_connection.registerObject(kItemPath, &m_itemObject, QDBusConnection::ExportAdaptors);
    m_connection.registerObject(kMenuPath, &m_menuObject, QDBusConnection::ExportAdaptors);
    m_connection.registerService(m_serviceName);
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString&, const QString&, const QString& newOwner) { watcherOwnerChanged(newOwner); });
    m_watcherPresent = m_connection.interface()->isServiceRegistered(kWatcherService);
    if (m_watcherPresent)
        registerWithWatcher();
}

StatusNotifierTray::~StatusNotifierTray() {
    withdraw();
    QDBusConnection::disconnectFromBus(m_connectionName);
}

void StatusNotifierTray::withdraw() {
    if (!m_connection.isConnected())
        return;
    m_connection.unregisterService(m_serviceName);
    m_connection.unregisterObject(kItemPath);
    m_connection.unregisterObject(kMenuPath);
}

void StatusNotifierTray::setIcon(const QIcon& icon) {
    m_item->setIcon(icon);
}

void StatusNotifierTray::setTip(const QString& tip) {
    m_item->setTip(tip);
}

void StatusNotifierTray::setMenu(QMenu* menu) {
    m_menu->setMenu(menu);
}

void StatusNotifierTray::watcherOwnerChanged(const QString& newOwner) {
    const bool present = !newOwner.isEmpty();
    const bool changed = present != m_watcherPresent;
    m_watcherPresent = present;
    if (present)
        registerWithWatcher();
    if (changed)
        emit watcherPresenceChanged(present);
}

void StatusNotifierTray::registerWithWatcher(int attempt) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kWatcherService, kWatcherPath, kWatcherService, QStringLiteral("RegisterStatusNotifierItem"));
    call << m_serviceName;
    auto* reply = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(
        reply, &QDBusPendingCallWatcher::finished, this, [this, attempt](QDBusPendingCallWatcher* answered) {
            answered->deleteLater();
            // A watcher may own its name a moment before it answers on it: ask again for a while.
            if (answered->isError() && m_watcherPresent && attempt < kRegisterAttempts)
                QTimer::singleShot(
                    kRegisterRetry, this, [this, attempt] { registerWithWatcher(attempt + 1); });
        });
}

bool StatusNotifierTray::hostAvailable() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kWatcherService))
        return false;
    QDBusInterface watcher(kWatcherService, kWatcherPath, kWatcherService, bus);
    return watcher.property("IsStatusNotifierHostRegistered").toBool();
}

} // namespace qz
