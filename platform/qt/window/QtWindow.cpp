#include "QtWindow.h"

#include <algorithm>
#include <iterator>
#include <string>

#include <QCursor>
#include <QMenu>

#include "MainWindow.h"
#include "MenuBuilder.h"
#include "Surface.h"
#include "Twips.h"
#include "platform/Errors.h"
#include "platform/qt/Utf16.h"
#include "platform/qt/tray/HandleTable.h"
#include "platform/qt/tray/TrayPopupPosition.h"

namespace qz {

namespace {
struct StateName {
    std::int16_t state;
    Qt::WindowState qtState;
};
constexpr StateName kWindowStates[] = {
    { vbNormal, Qt::WindowNoState },
    { vbMinimized, Qt::WindowMinimized },
    { vbMaximized, Qt::WindowMaximized },
};
} // namespace

QtWindow::QtWindow(MainWindow& window, HandleTable& handles, const TrayPopupPosition& popupPosition)
    : m_window(&window)
    , m_handles(handles)
    , m_popupPosition(popupPosition)
    , m_hWnd(handles.addWindow(&window)) {
    // A destroyed window's handle must name nothing, so that the tray calls on it fail as they should.
    m_destroyedConnection = QObject::connect(
        &window, &MainWindow::shellDestroyed, &window, [this] { m_handles.removeWindow(m_hWnd); });
}

QtWindow::~QtWindow() {
    QObject::disconnect(m_destroyedConnection);
    m_handles.removeWindow(m_hWnd);
}

MainWindow& QtWindow::live(const char* operation) const {
    if (!m_window || m_window->isDestroyed())
        throw PlatformError(std::string(operation) + ": the window no longer exists");
    return *m_window;
}

std::u16string QtWindow::Caption() {
    return toU16(live("Caption").caption());
}

void QtWindow::setCaption(const std::u16string& text) {
    live("Caption").setCaption(toQString(text));
}

float QtWindow::Left() {
    return pixelsToTwips(live("Left").logicalPos().x());
}

float QtWindow::Top() {
    return pixelsToTwips(live("Top").logicalPos().y());
}

float QtWindow::Width() {
    return pixelsToTwips(live("Width").logicalSize().width());
}

float QtWindow::Height() {
    return pixelsToTwips(live("Height").logicalSize().height());
}

void QtWindow::setLeft(float twips) {
    MainWindow& window = live("Left");
    window.moveLogical(QPoint(twipsToPixels(twips), window.logicalPos().y()));
}

void QtWindow::setTop(float twips) {
    MainWindow& window = live("Top");
    window.moveLogical(QPoint(window.logicalPos().x(), twipsToPixels(twips)));
}

void QtWindow::setWidth(float twips) {
    MainWindow& window = live("Width");
    window.resizeLogical(QSize(twipsToPixels(twips), window.logicalSize().height()));
}

void QtWindow::setHeight(float twips) {
    MainWindow& window = live("Height");
    window.resizeLogical(QSize(window.logicalSize().width(), twipsToPixels(twips)));
}

std::int16_t QtWindow::WindowState() {
    const Qt::WindowStates states = live("WindowState").windowState();
    if (states.testFlag(Qt::WindowMinimized))
        return vbMinimized;
    if (states.testFlag(Qt::WindowMaximized))
        return vbMaximized;
    return vbNormal;
}

void QtWindow::setWindowState(std::int16_t state) {
    MainWindow& window = live("WindowState");
    const auto named = std::find_if(std::begin(kWindowStates), std::end(kWindowStates),
        [state](const StateName& entry) { return entry.state == state; });
    if (named == std::end(kWindowStates))
        throw PlatformError("WindowState: invalid value " + std::to_string(state));
    window.setWindowState((window.windowState() & Qt::WindowActive) | named->qtState);
}

void QtWindow::Show() {
    live("Show").show();
}

void QtWindow::Hide() {
    live("Hide").hide();
}

void QtWindow::SetFocus() {
    MainWindow& window = live("SetFocus");
    window.activateWindow();
    window.raise();
}

HWND QtWindow::hWnd() {
    live("hWnd");
    return m_hWnd;
}

HICON QtWindow::IconHandle() {
    return m_handles.iconHandle(live("Icon").windowIcon());
}

void QtWindow::PopupMenu(const MenuItem& menu) {
    live("PopupMenu");
    QMenu* popup = m_menus ? m_menus->menu(menu.name) : nullptr;
    if (!popup)
        throw PlatformError("PopupMenu: no menu " + std::string(menu.name));
    // A second request while the menu is open (a double click, a host asking twice) leaves it as it
    // is: a second nested loop on the same menu would outlive the menu's closing.
    if (popup->isVisible())
        return;
    // The nested loop runs the picked item's handler before exec returns.
    popup->exec(m_popupPosition.current().value_or(QCursor::pos()));
}

void QtWindow::Unload() {
    std::int16_t cancel = 0;
    live("Unload").runUnloadHandler(cancel);
    if (cancel == 0 && m_window)
        m_window->destroyWindow();
}

void QtWindow::Print(const std::u16string& text) {
    live("Print").surface()->print(toQString(text));
}

void QtWindow::onUnload(UnloadHandler handler) {
    live("onUnload").setUnloadHandler(std::move(handler));
}

} // namespace qz
