#include "Application.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QScreen>
#include <QWebEngineView>
#include <QWidget>

#include "commands/MenuTree.h"
#include "platform/qt/window/MainWindow.h"
#include "platform/qt/window/MenuBuilder.h"
#include "platform/qt/window/QtBrowser.h"
#include "platform/qt/window/Surface.h"
#include "platform/qt/window/Twips.h"
#include "tray/TraySystemCalls.h"

namespace qz {

namespace {
// Long enough for a start-up on a slow disk, short enough that a page that hangs on loading does not
// keep an ending shell alive for long.
constexpr std::chrono::seconds kEngineStartBound { 5 };

std::unique_ptr<MainWindow> createMainWindow() {
    constexpr FormDescription form = kFormDescription;
    // Every window of the shell, browser windows and dialogs too, carries the shell's icon.
    const QIcon icon(QStringLiteral(":/qz.png"));
    QApplication::setWindowIcon(icon);
    auto window = std::make_unique<MainWindow>();
    window->setWindowIcon(icon);
    window->setClientSize(QSize(twipsToPixels(form.clientWidth), twipsToPixels(form.clientHeight)));
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && form.startCentred)
        window->centreOn(*screen);
    return window;
}
} // namespace

Application::Application(const WritableStorage& storage, const ProxyInUse& proxy)
    : m_win32(m_handles, m_popupPosition)
    , m_balloons([this](const QString& title, const QString& text, TrayBalloons::OnClick onClick) {
        return showBalloon(title, text, std::move(onClick));
    })
    , m_window(createMainWindow())
    , m_mainWindowPresence(m_window.get())
    , m_profile(storage, m_balloons, m_mainWindowPresence, proxy)
    , m_qtWindow(*m_window, m_handles, m_popupPosition)
    , m_browser(std::make_unique<QtBrowser>(m_window->surface(), m_profile.pages(), m_printing))
    , m_timer(kFormDescription.timerInterval, kFormDescription.timerEnabled)
    , m_desktop(m_window.get(), m_profile.engineProfile(), proxy)
    , m_events(FormParts { m_qtWindow, *m_browser, m_timer, m_screen, m_desktop })
    , m_menus(std::make_unique<MenuBuilder>(
          *m_window, kMenuTree, [this](const MenuItem& item) { m_events.menuPicked(item); }))
    , m_engineStart(m_browser->view()->page(), kEngineStartBound)
    , m_proxyScriptCheck(proxy) {
    installTraySystemCalls(&m_win32);
    m_qtWindow.setMenus(m_menus.get());
    m_win32.setTrayMenu(m_menus->menu("mnuTray"));
    m_timer.onTick([this] { m_events.tick(); });

    connect(m_window.get(), &MainWindow::shellDestroyed, this, &Application::shutDown);
    connect(&m_sessionEnd, &SessionEnd::ended, this, &Application::endSession);
}

Application::~Application() {
    installTraySystemCalls(nullptr);
    // Windows closed on the way out delete themselves later; their pages must go before the profile.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int Application::run() {
    m_events.load();
    // A termination signal during start-up ends the session before the window is ever shown.
    if (TerminationSignals::pending())
        endSession();
    if (m_window->isDestroyed())
        return 0;
    if (!m_ending)
        m_window->show();
    return QCoreApplication::exec();
}

bool Application::showFromTray() {
    const FormEvents::TrayIconKey icon = FormEvents::trayIcon();
    return m_win32.activate(icon.hWnd, icon.id, QSystemTrayIcon::Trigger);
}

bool Application::showBalloon(const QString& title, const QString& text, std::function<void()> onClick) {
    const FormEvents::TrayIconKey key = FormEvents::trayIcon();
    QSystemTrayIcon* icon = m_win32.trayIcon(key.hWnd, key.id);
    if (!icon)
        return false;
    // Qt's icon is hidden while a StatusNotifierItem host shows the shell's own item instead.
    if (!icon->isVisible())
        return m_notifications.show(title, text, std::move(onClick));
    // One balloon is shown at a time: a click answers the latest.
    QObject::disconnect(icon, &QSystemTrayIcon::messageClicked, this, nullptr);
    if (onClick)
        connect(icon, &QSystemTrayIcon::messageClicked, this, [onClick = std::move(onClick)] { onClick(); });
    icon->showMessage(title, text, QSystemTrayIcon::Information);
    return true;
}

void Application::endSession() {
    if (m_window->isDestroyed())
        return;
    if (!m_engineStart.done()) {
        m_ending = true;
        m_window->hide();
        m_engineStart.whenDone([this] { endSession(); });
        return;
    }
    m_events.sessionEnded();
    m_window->destroyWindow();
}

void Application::shutDown() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != m_window.get() && window->isVisible())
            window->close();
    }
    QCoreApplication::exit(0);
}

} // namespace qz
