#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include <QObject>
#include <QSystemTrayIcon>

#include "DockedIconDoubleClicks.h"
#include "StatusNotifierTray.h"
#include "platform/TraySystemCalls.h"

class QMenu;

namespace qz {

class HandleTable;
class TrayPopupPosition;

// The tray's operating-system calls over Qt: notification-area icons keyed by window and id, and a
// procedure slot per window. A click on an icon becomes the record's callback message, sent through
// the window's procedure as the slot holds it at that moment, once Qt has finished with the click.
// Each icon is offered to StatusNotifierItem hosts whenever a watcher is on the session bus, and
// docks in an XEmbed notification area otherwise.
class QtTraySystemCalls final : public TraySystemCalls {
public:
    // A host's menu request that names a position opens the tray menu there, through popupPosition.
    QtTraySystemCalls(HandleTable& handles, TrayPopupPosition& popupPosition);
    ~QtTraySystemCalls() override;
    QtTraySystemCalls(const QtTraySystemCalls&) = delete;
    QtTraySystemCalls& operator=(const QtTraySystemCalls&) = delete;

    BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) override;
    LONG_PTR SetWindowLongA(HWND hWnd, int index, LONG_PTR newValue) override;
    LRESULT CallWindowProcA(
        LONG_PTR prevWndProc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The icon shown for a window and id, or nullptr.
    QSystemTrayIcon* trayIcon(HWND hWnd, UINT id) const;

    // Sends the messages the activation stands for through the window's procedure, as the icon's own
    // activation does; false when no message went out (no such icon, no callback message, or the
    // window is destroyed).
    bool activate(HWND hWnd, UINT id, QSystemTrayIcon::ActivationReason reason);

    // The menu StatusNotifierItem hosts draw themselves for every icon.
    void setTrayMenu(QMenu* menu);

    // Whether a tray host of either kind would show an icon now.
    static bool trayHostAvailable();

    // The procedure every window starts with: nothing the shell sends it needs an answer.
    static LRESULT defaultWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    using Key = std::pair<HWND, UINT>;
    struct TrayIcon {
        QSystemTrayIcon* icon = nullptr;
        // Made when the event loop first comes to the icon; until then the icon is not shown.
        std::unique_ptr<StatusNotifierTray> statusNotifier;
        std::optional<UINT> callbackMessage;
    };

    // Sends the mouse messages in turn, until one's handler has removed the icon; 0 ends the list.
    bool send(Key key, const std::array<LPARAM, 2>& messages);
    void dockedDoubleClick(Qt::MouseButton button, QPoint position);
    BOOL add(const NOTIFYICONDATAA& data);
    // Docks the icon, or offers the item where a StatusNotifierItem host shows it.
    void host(Key key);
    BOOL modify(const NOTIFYICONDATAA& data);
    BOOL remove(const NOTIFYICONDATAA& data);
    // Whether every part the flags name is valid; a record with a bad part changes nothing.
    bool acceptable(const NOTIFYICONDATAA& data) const;
    void apply(TrayIcon& entry, const NOTIFYICONDATAA& data);
    // The docked icon shows only while no StatusNotifierItem host can show the item.
    static void showWhereHosted(TrayIcon& entry);
    // The window's procedure slot; nothing when the handle names no live window.
    std::optional<LONG_PTR> procedureOf(HWND hWnd) const;

    HandleTable& m_handles;
    TrayPopupPosition& m_popupPosition;
    // Receives the icons' clicks, so that they are handled after Qt's own handling of them.
    QObject m_dispatcher;
    DockedIconDoubleClicks m_dockedDoubleClicks;
    std::map<Key, TrayIcon> m_icons;
    std::map<HWND, LONG_PTR> m_procedures;
    QMenu* m_trayMenu = nullptr;
};

} // namespace qz
