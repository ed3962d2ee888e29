#include "StatusNotifierItem.h"

#include <QTimer>

namespace qz {

StatusNotifierItem::StatusNotifierItem(QObject* object, const QDBusObjectPath& menuPath, Activated activated)
    : QDBusAbstractAdaptor(object)
    , m_menuPath(menuPath)
    , m_activated(std::move(activated)) {
    registerDBusTrayTypes();
}

void StatusNotifierItem::setIcon(const QIcon& icon) {
    m_pixmaps = sniPixmaps(icon);
    emit NewIcon();
}

void StatusNotifierItem::setTip(const QString& tip) {
    m_tip = tip;
    emit NewToolTip();
}

void StatusNotifierItem::Activate(int x, int y) {
    report(QSystemTrayIcon::Trigger, x, y);
}

void StatusNotifierItem::SecondaryActivate(int x, int y) {
    report(QSystemTrayIcon::MiddleClick, x, y);
}

void StatusNotifierItem::ContextMenu(int x, int y) {
    report(QSystemTrayIcon::Context, x, y);
}

void StatusNotifierItem::Scroll(int, const QString&) {}

void StatusNotifierItem::report(QSystemTrayIcon::ActivationReason reason, int x, int y) {
    QTimer::singleShot(0, this, [this, reason, position = QPoint(x, y)] { m_activated(reason, position); });
}

} // namespace qz
