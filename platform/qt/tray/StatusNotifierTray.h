#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>

#include "StatusNotifierItem.h"

class QMenu;

namespace qz {

class DBusMenuExporter;

// One tray icon offered to StatusNotifierItem hosts: the item and its menu on a session-bus
// connection of their own, registered with the watcher whenever one is on the bus, so a watcher
// that starts late or restarts gets the icon again.
class StatusNotifierTray final : public QObject {
    Q_OBJECT
public:
    explicit StatusNotifierTray(StatusNotifierItem::Activated activated);
    ~StatusNotifierTray() override;

    void setIcon(const QIcon& icon);
    void setTip(const QString& tip);
    void setMenu(QMenu* menu);
    // Leaves the bus, so hosts drop the item at once; the object may still be busy with a click.
    void withdraw();

    // Whether a watcher is on the bus, so that its hosts show this item.
    bool watcherPresent() const { return m_watcherPresent; }

    // Whether the session bus has a watcher with a host that shows items, asked now.
    static bool hostAvailable();

signals:
    void watcherPresenceChanged(bool present);

private:
    void watcherOwnerChanged(const QString& newOwner);
    void registerWithWatcher(int attempt = 1);

    QString m_connectionName;
    QDBusConnection m_connection;
    QString m_serviceName;
    QObject m_itemObject;
    QObject m_menuObject;
    StatusNotifierItem* m_item;
    DBusMenuExporter* m_menu;
    QDBusServiceWatcher m_watcher;
    bool m_watcherPresent = false;
};

} // namespace qz
