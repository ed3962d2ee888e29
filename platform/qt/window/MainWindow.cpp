#include "MainWindow.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QWebEngineView>
#include <QWindow>

#include "Surface.h"
#include "Twips.h"
#include "app/FormEvents.h"
#include "platform/qt/LiteralText.h"
#include "platform/qt/page/WebPage.h"

namespace qz {

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_surface(new Surface(this)) {
    setCentralWidget(m_surface);
    // A global menu bar outside the window would leave the window shorter than the logic counts on.
    menuBar()->setNativeMenuBar(false);
    // The window manager tells of its frame after it took the window in, with no event of Qt's: a
    // placement is looked at again for a while after each show.
    m_frameWatch.setInterval(kFrameWatchInterval);
    connect(&m_frameWatch, &QTimer::timeout, this, [this] {
        keepPlacement();
        if (!m_placement || !frameMargins().isNull() || m_frameWatchStart.hasExpired(kFrameWatchLimit))
            m_frameWatch.stop();
    });
    // The logic sizes the window in whole pixels; the layout must not round them up to its minimum.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    // Watches every widget's shortcut requests, so that the browser view cannot claim the window's keys.
    QCoreApplication::instance()->installEventFilter(this);
}

void MainWindow::setClientSize(const QSize& size) {
    resizeLogical(QSize(size.width(), size.height() + kMenuBarHeight));
}

void MainWindow::centreOn(const QScreen& screen) {
    const QRect area = screen.geometry();
    const QSize size = logicalSize();
    moveLogical(QPoint(area.x() + twipsToPixels(pixelsToTwips(area.width() - size.width()) / 2),
        area.y() + twipsToPixels(pixelsToTwips(area.height() - size.height()) / 2)));
}

// As the main window's layout gives the bar its height.
int MainWindow::menuBarHeightFor(int width) const {
    const QMenuBar* bar = menuBar();
    int height = bar->heightForWidth(std::max(width, bar->minimumWidth()));
    if (height < 0)
        height = bar->sizeHint().height();
    return std::clamp(height, bar->minimumSizeHint().height(), bar->maximumHeight());
}

QSize MainWindow::logicalSize() const {
    return QSize(width(), height() - m_menuBarHeight + kMenuBarHeight);
}

void MainWindow::resizeLogical(const QSize& size) {
    m_menuBarHeight = menuBarHeightFor(size.width());
    m_requestedSize = QSize(size.width(), size.height() - kMenuBarHeight + m_menuBarHeight);
    if (m_sizeHeld)
        holdSizeForMap(m_requestedSize);
    resize(m_requestedSize);
}

// Tiling window managers (i3, sway) float a window whose hints fix its size, and tile any other over
// the whole screen, which would leave the page in a corner of a black field. They decide when they map
// the window; afterwards the hints are let go, so that a frame that offers to maximize still can.
void MainWindow::holdSizeForMap(const QSize& size) {
    m_sizeHeld = true;
    // In this order the bounds never cross, whether the window grows or shrinks.
    setMinimumSize(0, 0);
    setMaximumSize(size);
    setMinimumSize(size);
}

void MainWindow::releaseHeldSize() {
    // An expose that tells of the last hide comes to nothing.
    if (!m_sizeHeld || !windowHandle() || !windowHandle()->isExposed())
        return;
    m_sizeHeld = false;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

// The bar grows as its titles are added, and changes with the theme's font: the window follows it.
void MainWindow::followMenuBar() {
    if (menuBarHeightFor(width()) == m_menuBarHeight)
        return;
    resizeLogical(logicalSize());
    if (m_placement)
        moveLogical(*m_placement);
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::LayoutRequest)
        followMenuBar();
    return handled;
}

QMargins MainWindow::frameMargins() const {
    // The platform window reads the frame the window manager declares (_NET_FRAME_EXTENTS on X11).
    // Without a frame, X11's reckoning gives the difference of the old and the new size while a
    // resize is under way: a frame always holds the window away from its top or left edge.
    const QMargins margins = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    return margins.left() > 0 || margins.top() > 0 ? margins : QMargins();
}

QPoint MainWindow::frameOffset() const {
    const QSize shown = size().grownBy(frameMargins());
    const QSize logical = logicalSize();
    return QPoint((shown.width() - logical.width()) / 2, (shown.height() - logical.height()) / 2);
}

// Qt's own pos() and move() count the frame as it was at the last configure: the window manager
// declares its frame later, with no configure, and a move reckoned from the old frame lands the window
// a title bar too high. The frame the window manager declares now is counted instead.
QPoint MainWindow::framePos() const {
    const QMargins margins = frameMargins();
    return geometry().topLeft() - QPoint(margins.left(), margins.top());
}

QPoint MainWindow::logicalPos() const {
    return framePos() + frameOffset();
}

void MainWindow::moveLogical(const QPoint& position) {
    const bool hidden = m_hiddenAt.has_value();
    m_hiddenAt.reset();
    m_placement = position;
    m_placedOffset = frameOffset();
    const QMargins margins = frameMargins();
    setGeometry(QRect(position - m_placedOffset + QPoint(margins.left(), margins.top()), size()));
    if (hidden)
        m_hiddenAt = geometry().topLeft();
}

// Minimized, maximized or full screen, the window is where the window manager puts it.
bool MainWindow::placedByManager() const {
    return windowState().testAnyFlags(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
}

// The window manager's frame is known only once it has taken the window in, after the logic placed
// it; a user's move ends the placement.
void MainWindow::keepPlacement() {
    if (!m_placement || !isVisible() || placedByManager())
        return;
    // The manager answers each resize in turn: an answer to an earlier one, on its way while the
    // window was resized again, has an old size, and a frame reckoned from it. The answer to the last
    // resize comes after it.
    if (size() != m_requestedSize)
        return;
    const QPoint offset = frameOffset();
    if (offset != m_placedOffset)
        moveLogical(*m_placement);
    else if (framePos() != *m_placement - offset)
        m_placement.reset();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // A window manager letting go of a hidden window may leave it where its frame was: GNOME's puts it
    // at the frame's corner whatever its gravity, and each restore would bring it back a title bar
    // higher. The window keeps the place it was hidden from.
    if (!isVisible() && m_hiddenAt && geometry().topLeft() != *m_hiddenAt) {
        setGeometry(QRect(*m_hiddenAt, size()));
        return;
    }
    keepPlacement();
}

void MainWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    // A maximized or full-screen window is the window manager's to place, and comes back in the normal
    // state at its own earlier place.
    if (placedByManager())
        m_hiddenAt.reset();
    else
        m_hiddenAt = geometry().topLeft();
}

void MainWindow::showEvent(QShowEvent* event) {
    m_hiddenAt.reset();
    // The titles were added after the window was sized; the window must not be mapped before it follows.
    followMenuBar();
    if (!placedByManager())
        holdSizeForMap(size());
    QMainWindow::showEvent(event);
    m_frameWatchStart.start();
    m_frameWatch.start();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    keepPlacement();
}

void MainWindow::setCaption(const QString& caption) {
    m_caption = caption;
    setWindowTitle(literalWindowTitle(caption));
}

void MainWindow::setUnloadHandler(UnloadHandler handler) {
    m_unload = std::move(handler);
}

void MainWindow::runUnloadHandler(std::int16_t& cancel) {
    if (m_unload)
        m_unload(cancel);
}

void MainWindow::destroyWindow() {
    if (m_destroyed)
        return;
    m_destroyed = true;
    hide();
    emit shellDestroyed();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_destroyed) {
        event->accept();
        return;
    }
    const bool closes = FormEvents::closeRequested(m_unload);
    if (m_destroyed) {
        // The session ended while the handler waited on a message box.
        event->accept();
        return;
    }
    // A failed unload keeps the window: an error must never close what the user did not close.
    if (!closes) {
        event->ignore();
        return;
    }
    event->accept();
    destroyWindow();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // Exposed, the window is mapped (X11), or its first frame, drawn in this event, carries the hints
    // (Wayland): they are let go once the event is done.
    if (event->type() == QEvent::Expose && m_sizeHeld && watched == windowHandle())
        QMetaObject::invokeMethod(this, &MainWindow::releaseHeldSize, Qt::QueuedConnection);
    // The browser view claims Ctrl+C, Ctrl+V, Ctrl+A and Ctrl+X for the page before any shortcut is
    // looked at; in this window those keys are menu commands, so their request never reaches it,
    // unless an editable field of the page has the focus: there they copy, paste, cut and select.
    if (event->type() == QEvent::ShortcutOverride && !m_destroyed) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
        if (widget && widget != this && widget->window() == this && isWindowShortcut(keys)
            && !(EditableFocus::isEditingKey(keys) && editableFieldFocused(widget)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::editableFieldFocused(const QWidget* focused) {
    for (const QObject* at = focused; at; at = at->parent())
        if (const auto* view = qobject_cast<const QWebEngineView*>(at))
            if (const auto* page = qobject_cast<const WebPage*>(view->page()))
                return page->editableFocus().editableHasFocus();
    return false;
}

bool MainWindow::isWindowShortcut(const QKeySequence& keys) const {
    const QList<QAction*> windowActions = actions();
    return std::any_of(windowActions.begin(), windowActions.end(), [&keys](const QAction* action) {
        return action->isEnabled() && action->shortcutContext() == Qt::WindowShortcut
            && action->shortcuts().contains(keys);
    });
}

} // namespace qz
