#include "DBusMenuExporter.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace qz {

namespace {
// DBusMenu labels mark an access key with "_"; a Qt caption written as is doubles its "&".
QString dbusMenuLabel(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("&"));
    text.replace(QLatin1Char('_'), QStringLiteral("__"));
    return text;
}
} // namespace

DBusMenuExporter::DBusMenuExporter(QObject* object)
    : QDBusAbstractAdaptor(object) {
    registerDBusTrayTypes();
}

void DBusMenuExporter::setMenu(QMenu* menu) {
    m_menu = menu;
    emit LayoutUpdated(++m_revision, 0);
}

QList<QAction*> DBusMenuExporter::items() const {
    QList<QAction*> visible;
    if (m_menu) {
        for (QAction* action : m_menu->actions()) {
            if (action->isVisible() && !action->isSeparator())
                visible.append(action);
        }
    }
    return visible;
}

QVariantMap DBusMenuExporter::properties(int id) const {
    if (id == 0)
        return { { QStringLiteral("children-display"), QStringLiteral("submenu") } };
    const QList<QAction*> actions = items();
    if (id < 1 || id > actions.size())
        return {};
    const QAction* action = actions.at(id - 1);
    return { { QStringLiteral("label"), dbusMenuLabel(action->text()) },
        { QStringLiteral("enabled"), action->isEnabled() }, { QStringLiteral("visible"), true } };
}

uint DBusMenuExporter::GetLayout(int parentId, int, const QStringList&, DBusMenuLayout& layout) {
    layout = DBusMenuLayout { parentId, properties(parentId), {} };
    if (parentId == 0) {
        for (int id = 1; id <= items().size(); ++id)
            layout.children.append(DBusMenuLayout { id, properties(id), {} });
    }
    return m_revision;
}

DBusMenuItemPropertiesList DBusMenuExporter::GetGroupProperties(const QList<int>& ids, const QStringList&) {
    DBusMenuItemPropertiesList list;
    for (const int id : ids)
        list.append(DBusMenuItemProperties { id, properties(id) });
    return list;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name) {
    return QDBusVariant(properties(id).value(name));
}

void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    const QList<QAction*> actions = items();
    if (eventId != QLatin1String("clicked") || id < 1 || id > actions.size())
        return;
    // The host waits for the answer; the pick may open a question with its own loop, so it runs
    // once the call has been answered.
    QPointer<QAction> action = actions.at(id - 1);
    QTimer::singleShot(0, this, [action] {
        if (action)
            action->trigger();
    });
}

QList<int> DBusMenuExporter::EventGroup(const DBusMenuEventList& events) {
    for (const DBusMenuEvent& event : events)
        Event(event.id, event.eventId, event.data, event.timestamp);
    return {};
}

bool DBusMenuExporter::AboutToShow(int) {
    return false;
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>&, QList<int>& idErrors) {
    idErrors.clear();
    return {};
}

} // namespace qz
