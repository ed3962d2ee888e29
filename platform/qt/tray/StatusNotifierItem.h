#pragma once

#include <functional>

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QIcon>
#include <QPoint>
#include <QSystemTrayIcon>

#include "DBusTrayTypes.h"

namespace qz {

// The tray icon as org.kde.StatusNotifierItem: its images, its tip as the tooltip's title and the
// path of its exported menu. The host's clicks come back as the activations a docked icon reports,
// with the position the host names.
class StatusNotifierItem final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ emptyText)
    Q_PROPERTY(QString IconName READ emptyText)
    Q_PROPERTY(QList<qz::SniPixmap> IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyText)
    Q_PROPERTY(QList<qz::SniPixmap> OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ emptyText)
    Q_PROPERTY(QList<qz::SniPixmap> AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ emptyText)
    Q_PROPERTY(qz::SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
public:
    using Activated = std::function<void(QSystemTrayIcon::ActivationReason reason, QPoint position)>;

    StatusNotifierItem(QObject* object, const QDBusObjectPath& menuPath, Activated activated);

    void setIcon(const QIcon& icon);
    void setTip(const QString& tip);

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("qz-shell"); }
    QString title() const { return QStringLiteral("QZ"); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString emptyText() const { return {}; }
    SniPixmaps iconPixmap() const { return m_pixmaps; }
    SniPixmaps noPixmaps() const { return {}; }
    SniToolTip toolTip() const { return SniToolTip { {}, {}, m_tip, {} }; }
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return m_menuPath; }

public slots:
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString& orientation);

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    // The host waits for the call's answer; what the click does (a menu with its own loop, a
    // question) runs once the call has been answered.
    void report(QSystemTrayIcon::ActivationReason reason, int x, int y);

    QDBusObjectPath m_menuPath;
    Activated m_activated;
    SniPixmaps m_pixmaps;
    QString m_tip;
};

} // namespace qz
