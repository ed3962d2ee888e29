#pragma once

#include <functional>
#include <memory>

#include <QObject>

#include "EngineStart.h"
#include "Profile.h"
#include "ProxyScriptCheck.h"
#include "SessionEnd.h"
#include "app/FormEvents.h"
#include "platform/qt/printing/Printing.h"
#include "platform/qt/tray/DesktopNotifications.h"
#include "platform/qt/tray/HandleTable.h"
#include "platform/qt/tray/QtTraySystemCalls.h"
#include "platform/qt/tray/TrayBalloons.h"
#include "platform/qt/tray/TrayPopupPosition.h"
#include "platform/qt/window/MainWindowPresence.h"
#include "platform/qt/window/QtDesktop.h"
#include "platform/qt/window/QtScreen.h"
#include "platform/qt/window/QtTimer.h"
#include "platform/qt/window/QtWindow.h"

namespace qz {

class MainWindow;
class WritableStorage;
class MenuBuilder;
class QtBrowser;

// The running shell: the main window and its parts around the form, the tray's system calls, and the
// ways the session can end. It owns what the parts of the shell share (the browser profile and its
// services, the balloons, the tray menu's position, the printer) and hands each to those that use it.
// Needs a QApplication; lives inside its lifetime, and everything it made goes before it: its
// members go in the reverse of their order here, so each goes before what it uses (the main
// window's browser before the profile, the profile with its pages and services before the balloons
// and the main window's presence they tell through).
class Application final : public QObject {
    Q_OBJECT
public:
    // The profile keeps its data where storage allows and loads through proxy.
    Application(const WritableStorage& storage, const ProxyInUse& proxy);
    ~Application() override;

    // Loads the form, shows the window and runs the event loop; the process's exit status.
    int run();

    // Brings the window back as a left click on the tray icon does; false when there is no icon or
    // no window left to bring back.
    bool showFromTray();

private:
    // A balloon from the form's tray icon; false while there is no icon.
    bool showBalloon(const QString& title, const QString& text, std::function<void()> onClick);
    // The session ends (log-off, shut-down, a termination signal): the form's end-of-session
    // handler, then the window goes without asking. While the engine is starting, the window hides
    // at once and the rest waits for the engine.
    void endSession();
    // The main window is gone: so is everything else.
    void shutDown();

    SessionEnd m_sessionEnd;
    DesktopNotifications m_notifications;
    HandleTable m_handles;
    TrayPopupPosition m_popupPosition;
    QtTraySystemCalls m_win32;
    TrayBalloons m_balloons;
    Printing m_printing;
    std::unique_ptr<MainWindow> m_window;
    MainWindowPresence m_mainWindowPresence;
    Profile m_profile;
    QtWindow m_qtWindow;
    std::unique_ptr<QtBrowser> m_browser;
    QtTimer m_timer;
    QtScreen m_screen;
    QtDesktop m_desktop;
    FormEvents m_events;
    std::unique_ptr<MenuBuilder> m_menus;
    EngineStart m_engineStart;
    ProxyScriptCheck m_proxyScriptCheck;
    // The session has ended while the engine was starting: the window stays hidden until it goes.
    bool m_ending = false;
};

} // namespace qz
