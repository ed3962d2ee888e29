#pragma once

#include <functional>

#include <QObject>
#include <QString>

namespace qz {

// Balloons as the desktop's notifications (org.freedesktop.Notifications on the session bus), for
// a tray icon that a StatusNotifierItem host shows: such hosts draw no balloons of their own. One
// notification is shown at a time, as with the docked icon's balloons; a click answers the latest.
class DesktopNotifications final : public QObject {
    Q_OBJECT
public:
    using OnClick = std::function<void()>;

    // Whether the session bus has a notification server, running or started on demand.
    static bool available();

    // Sends the notification; title and text are plain text. False when there is no server.
    bool show(const QString& title, const QString& text, OnClick onClick);

private slots:
    // The server's signals, for every client's notifications.
    void actionInvoked(uint id, const QString& action);
    void closed(uint id, uint reason);

private:
    void notify(const QString& title, const QString& body, OnClick onClick);

    bool m_listening = false;
    uint m_shown = 0; // the server's id of the latest notification, 0 for none
    OnClick m_onClick;
};

} // namespace qz
