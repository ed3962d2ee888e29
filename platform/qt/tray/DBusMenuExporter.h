#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusVariant>
#include <QPointer>
#include <QStringList>

#include "DBusTrayTypes.h"

class QAction;
class QMenu;

namespace qz {

// A menu as com.canonical.dbusmenu, for tray hosts that draw an item's menu themselves. The visible
// actions of the menu are its items, in order, with their captions as written and no shortcuts; a
// pick triggers the action, so it runs whatever picking it from the menu itself runs.
class DBusMenuExporter final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)
public:
    // The object carries the interface; the menu may be set later and may go away first.
    explicit DBusMenuExporter(QObject* object);

    void setMenu(QMenu* menu);

    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public slots:
    uint GetLayout(
        int parentId, int recursionDepth, const QStringList& propertyNames, qz::DBusMenuLayout& layout);
    QList<qz::DBusMenuItemProperties> GetGroupProperties(
        const QList<int>& ids, const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const QList<qz::DBusMenuEvent>& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

signals:
    void ItemsPropertiesUpdated(
        const QList<qz::DBusMenuItemProperties>& updated, const QList<qz::DBusMenuItemProperties>& removed);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    // Item ids are the visible actions' places, from 1; 0 is the menu itself.
    QList<QAction*> items() const;
    QVariantMap properties(int id) const;

    QPointer<QMenu> m_menu;
    uint m_revision = 1;
};

} // namespace qz
