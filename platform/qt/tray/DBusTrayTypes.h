#pragma once

#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

class QIcon;

namespace qz {

// The structures the StatusNotifierItem and com.canonical.dbusmenu interfaces pass, with their
// D-Bus signatures.

// One image of an icon: width, height and ARGB32 pixels in network byte order, (iiay).
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};
using SniPixmaps = QList<SniPixmap>;

// The item's tooltip: icon name, icon images, title and body text, (sa(iiay)ss).
struct SniToolTip {
    QString iconName;
    SniPixmaps pixmaps;
    QString title;
    QString text;
};

// A menu item with its properties and its children, (ia{sv}av).
struct DBusMenuLayout {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayout> children;
};

// A menu item's properties alone, (ia{sv}).
struct DBusMenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemPropertiesList = QList<DBusMenuItemProperties>;

// One event of an event group, (isvu).
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

// The icon's images at the sizes panels commonly draw.
SniPixmaps sniPixmaps(const QIcon& icon);

// Makes the types above known to Qt D-Bus; safe to call more than once.
void registerDBusTrayTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& tip);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayout& layout);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayout& layout);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

} // namespace qz

Q_DECLARE_METATYPE(qz::SniPixmap)
Q_DECLARE_METATYPE(qz::SniToolTip)
Q_DECLARE_METATYPE(qz::DBusMenuLayout)
Q_DECLARE_METATYPE(qz::DBusMenuItemProperties)
Q_DECLARE_METATYPE(qz::DBusMenuEvent)
