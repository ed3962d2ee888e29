#include "MainWindow.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

#include "LiteralText.h"
#include "Surface.h"
#include "Twips.h"
#include "app/FormEvents.h"

namespace qz {

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_surface(new Surface(this)) {
    setCentralWidget(m_surface);
    // A global menu bar outside the window would take the 20 pixels the logic's sizes count on.
    menuBar()->setNativeMenuBar(false);
    menuBar()->setFixedHeight(kMenuBarHeight);
    // The logic sizes the window in whole pixels; the layout must not round them up to its minimum.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    // Watches every widget's shortcut requests, so that the browser view cannot claim the window's keys.
    QCoreApplication::instance()->installEventFilter(this);
}

void MainWindow::setClientSize(const QSize& size) {
    resize(size.width(), size.height() + kMenuBarHeight);
}

void MainWindow::centreOn(const QScreen& screen) {
    const QRect area = screen.geometry();
    move(area.x() + twipsToPixels(pixelsToTwips(area.width() - width()) / 2),
        area.y() + twipsToPixels(pixelsToTwips(area.height() - height()) / 2));
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

// The browser view claims Ctrl+C, Ctrl+V, Ctrl+A and Ctrl+X for the page before any shortcut is
// looked at; in this window those keys are menu commands, so their request never reaches it.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && !m_destroyed) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget != this && widget->window() == this
            && isWindowShortcut(QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination())))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::isWindowShortcut(const QKeySequence& keys) const {
    const QList<QAction*> windowActions = actions();
    return std::any_of(windowActions.begin(), windowActions.end(), [&keys](const QAction* action) {
        return action->isEnabled() && action->shortcutContext() == Qt::WindowShortcut
            && action->shortcuts().contains(keys);
    });
}

} // namespace qz
