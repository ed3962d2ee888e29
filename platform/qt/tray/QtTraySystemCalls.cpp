#include "QtTraySystemCalls.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <string_view>
#include <utility>

#include <QCoreApplication>

#include "HandleTable.h"
#include "TrayPopupPosition.h"
#include "app/FormEvents.h"
#include "tray/AnsiCodePage.h"

namespace qz {

namespace {
// The mouse messages an activation stands for. Qt reports a double click after the click that
// began it, so the double click adds the button-down of the second click and its release.
struct Activation {
    QSystemTrayIcon::ActivationReason reason;
    std::array<LPARAM, 2> messages; // 0 ends the list
};
constexpr Activation kActivations[] = {
    { QSystemTrayIcon::Trigger, { WM_LBUTTONUP, 0 } },
    { QSystemTrayIcon::Context, { WM_RBUTTONUP, 0 } },
    { QSystemTrayIcon::DoubleClick, { WM_LBUTTONDBLCLK, WM_LBUTTONUP } },
    { QSystemTrayIcon::MiddleClick, { WM_MBUTTONUP, 0 } },
};
// The double clicks Qt leaves unreported on a docked icon, as the same pair of messages.
struct DoubleClick {
    Qt::MouseButton button;
    std::array<LPARAM, 2> messages;
};
constexpr DoubleClick kDockedDoubleClicks[] = {
    { Qt::RightButton, { WM_RBUTTONDBLCLK, WM_RBUTTONUP } },
    { Qt::MiddleButton, { WM_MBUTTONDBLCLK, WM_MBUTTONUP } },
};

QString tipText(const NOTIFYICONDATAA& data) {
    const std::size_t length = strnlen(data.szTip.data(), data.szTip.size());
    const std::u16string tip = fromAnsi(std::string_view(data.szTip.data(), length));
    return QString::fromStdU16String(tip);
}

// Qt settles once per process, at its first tray icon, between docking and its own
// StatusNotifierItem; the shell offers its own item, so Qt's is never shown. Asked before Qt is.
bool qtTrayIsStatusNotifier() {
    static const bool statusNotifier = StatusNotifierTray::hostAvailable();
    return statusNotifier;
}
} // namespace

QtTraySystemCalls::QtTraySystemCalls(HandleTable& handles, TrayPopupPosition& popupPosition)
    : m_handles(handles)
    , m_popupPosition(popupPosition)
    , m_dockedDoubleClicks([this](Qt::MouseButton button, QPoint position) {
        // Queued, as every click is: Qt is still inside the icon's mouse handling.
        QMetaObject::invokeMethod(
            &m_dispatcher, [this, button, position] { dockedDoubleClick(button, position); },
            Qt::QueuedConnection);
    }) {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(&m_dockedDoubleClicks);
}

QtTraySystemCalls::~QtTraySystemCalls() {
    for (auto& [key, entry] : m_icons)
        delete entry.icon;
}

LRESULT QtTraySystemCalls::defaultWindowProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

BOOL QtTraySystemCalls::Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) {
    if (!data)
        return 0;
    switch (message) {
    case NIM_ADD:
        return add(*data);
    case NIM_MODIFY:
        return modify(*data);
    case NIM_DELETE:
        return remove(*data);
    default:
        return 0;
    }
}

bool QtTraySystemCalls::acceptable(const NOTIFYICONDATAA& data) const {
    if (!m_handles.window(data.hWnd))
        return false;
    return !(data.uFlags & NIF_ICON) || m_handles.icon(data.hIcon).has_value();
}

BOOL QtTraySystemCalls::add(const NOTIFYICONDATAA& data) {
    const Key key { data.hWnd, data.uID };
    if (m_icons.contains(key) || !acceptable(data))
        return 0;
    qtTrayIsStatusNotifier();
    TrayIcon& entry = m_icons[key];
    entry.icon = new QSystemTrayIcon;
    // The messages go out once the click that caused them has been handled in full. Qt reports the
    // click from inside the icon's own mouse handling, which goes on using the icon after the report;
    // the tray menu's exit removes the icon, and hiding an icon destroys Qt's icon window at once.
    QObject::connect(
        entry.icon, &QSystemTrayIcon::activated, &m_dispatcher,
        [this, key](QSystemTrayIcon::ActivationReason reason) { activate(key.first, key.second, reason); },
        Qt::QueuedConnection);
    apply(entry, data);
    // Docking the icon and offering the item on the session bus take X and D-Bus round trips: they
    // wait for the event loop, so that the icon added at start-up does not hold back the window.
    const auto hostIt = [this, key] { host(key); };
    QMetaObject::invokeMethod(&m_dispatcher, hostIt, Qt::QueuedConnection);
    return trayHostAvailable() ? 1 : 0;
}

void QtTraySystemCalls::host(Key key) {
    const auto it = m_icons.find(key);
    if (it == m_icons.end() || it->second.statusNotifier)
        return; // removed before the event loop came to it
    TrayIcon& entry = it->second;
    entry.statusNotifier = std::make_unique<StatusNotifierTray>(
        [this, key](QSystemTrayIcon::ActivationReason reason, QPoint position) {
            const TrayPopupPosition::Scope popupAt(m_popupPosition, position);
            activate(key.first, key.second, reason);
        });
    entry.statusNotifier->setMenu(m_trayMenu);
    // What the records gave while the icon waited.
    if (!entry.icon->icon().isNull())
        entry.statusNotifier->setIcon(entry.icon->icon());
    if (!entry.icon->toolTip().isEmpty())
        entry.statusNotifier->setTip(entry.icon->toolTip());
    QObject::connect(
        entry.statusNotifier.get(), &StatusNotifierTray::watcherPresenceChanged, &m_dispatcher, [this, key] {
            if (const auto found = m_icons.find(key); found != m_icons.end())
                showWhereHosted(found->second);
        });
    showWhereHosted(entry);
}

void QtTraySystemCalls::showWhereHosted(TrayIcon& entry) {
    // Without a notification area the icon still waits: Qt docks it once a tray host appears.
    entry.icon->setVisible(!entry.statusNotifier->watcherPresent() && !qtTrayIsStatusNotifier());
}

bool QtTraySystemCalls::trayHostAvailable() {
    if (qtTrayIsStatusNotifier())
        return StatusNotifierTray::hostAvailable();
    return StatusNotifierTray::hostAvailable() || QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTraySystemCalls::setTrayMenu(QMenu* menu) {
    m_trayMenu = menu;
    for (auto& [key, entry] : m_icons) {
        if (entry.statusNotifier)
            entry.statusNotifier->setMenu(menu);
    }
}

BOOL QtTraySystemCalls::modify(const NOTIFYICONDATAA& data) {
    const auto it = m_icons.find(Key { data.hWnd, data.uID });
    if (it == m_icons.end() || !acceptable(data))
        return 0;
    apply(it->second, data);
    return 1;
}

BOOL QtTraySystemCalls::remove(const NOTIFYICONDATAA& data) {
    const auto it = m_icons.find(Key { data.hWnd, data.uID });
    if (it == m_icons.end())
        return 0;
    QSystemTrayIcon* icon = it->second.icon;
    // The item leaves the bus at once, but may be the one reporting the click that led here.
    if (StatusNotifierTray* statusNotifier = it->second.statusNotifier.release()) {
        statusNotifier->withdraw();
        statusNotifier->deleteLater();
    }
    m_icons.erase(it);
    icon->hide();
    icon->deleteLater();
    return 1;
}

void QtTraySystemCalls::apply(TrayIcon& entry, const NOTIFYICONDATAA& data) {
    if (data.uFlags & NIF_ICON) {
        entry.icon->setIcon(*m_handles.icon(data.hIcon));
        if (entry.statusNotifier)
            entry.statusNotifier->setIcon(*m_handles.icon(data.hIcon));
    }
    if (data.uFlags & NIF_MESSAGE)
        entry.callbackMessage = data.uCallbackMessage;
    if (data.uFlags & NIF_TIP) {
        entry.icon->setToolTip(tipText(data));
        if (entry.statusNotifier)
            entry.statusNotifier->setTip(tipText(data));
    }
}

bool QtTraySystemCalls::activate(HWND hWnd, UINT id, QSystemTrayIcon::ActivationReason reason) {
    const auto activation = std::find_if(std::begin(kActivations), std::end(kActivations),
        [reason](const Activation& entry) { return entry.reason == reason; });
    if (activation == std::end(kActivations))
        return false;
    return send(Key { hWnd, id }, activation->messages);
}

void QtTraySystemCalls::dockedDoubleClick(Qt::MouseButton button, QPoint position) {
    const auto doubleClick = std::find_if(std::begin(kDockedDoubleClicks), std::end(kDockedDoubleClicks),
        [button](const DoubleClick& entry) { return entry.button == button; });
    const auto icon = std::find_if(m_icons.begin(), m_icons.end(), [position](const auto& entry) {
        return entry.second.icon->isVisible() && entry.second.icon->geometry().contains(position);
    });
    if (doubleClick != std::end(kDockedDoubleClicks) && icon != m_icons.end())
        send(icon->first, doubleClick->messages);
}

bool QtTraySystemCalls::send(Key key, const std::array<LPARAM, 2>& messages) {
    bool sent = false;
    for (const LPARAM mouseMessage : messages) {
        // The previous message's handler may have removed the icon or unhooked the window.
        const auto it = m_icons.find(key);
        if (mouseMessage == 0 || it == m_icons.end() || !it->second.callbackMessage)
            return sent;
        const UINT callbackMessage = *it->second.callbackMessage;
        const auto [hWnd, id] = key;
        const std::optional<LONG_PTR> procedure = procedureOf(hWnd);
        if (!procedure)
            return sent; // a destroyed window gets no messages
        FormEvents::trayMessage(*procedure, hWnd, callbackMessage, id, mouseMessage);
        sent = true;
    }
    return sent;
}

std::optional<LONG_PTR> QtTraySystemCalls::procedureOf(HWND hWnd) const {
    if (!m_handles.window(hWnd))
        return std::nullopt;
    const auto it = m_procedures.find(hWnd);
    return it == m_procedures.end() ? reinterpret_cast<LONG_PTR>(&defaultWindowProc) : it->second;
}

LONG_PTR QtTraySystemCalls::SetWindowLongA(HWND hWnd, int index, LONG_PTR newValue) {
    if (index != GWL_WNDPROC)
        return 0;
    const std::optional<LONG_PTR> previous = procedureOf(hWnd);
    if (!previous)
        return 0;
    m_procedures.insert_or_assign(hWnd, newValue);
    return *previous;
}

LRESULT QtTraySystemCalls::CallWindowProcA(
    LONG_PTR prevWndProc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (prevWndProc == 0)
        return 0;
    return reinterpret_cast<WNDPROC>(prevWndProc)(hWnd, message, wParam, lParam);
}

QSystemTrayIcon* QtTraySystemCalls::trayIcon(HWND hWnd, UINT id) const {
    const auto it = m_icons.find(Key { hWnd, id });
    return it == m_icons.end() ? nullptr : it->second.icon;
}

} // namespace qz
