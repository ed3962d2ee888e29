#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include "platform/Geometry.h"

class QScreen;

namespace qz {

class Surface;

// The shell's main window: a menu bar over the surface that carries the browser view. A close request
// from the frame runs the unload handler, which may refuse it.
//
// The logic's window is the area under the bar plus a bar of kMenuBarHeight pixels, and has no frame.
// The real bar is as tall as the theme's font needs, and the window manager adds a frame: the window
// grows by the difference, so that the area under the bar keeps its size, and is placed so that what
// the user sees has its centre where the logic's window would have it.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kMenuBarHeight = kMenuBarPixels;
    using UnloadHandler = std::function<void(std::int16_t& cancel)>;

    explicit MainWindow(QWidget* parent = nullptr);

    Surface* surface() const { return m_surface; }

    // Sizes the window so that the area under the menu bar has the given size.
    void setClientSize(const QSize& size);
    // Puts the window in the middle of the screen, rounding as the logic's own centring in twips does.
    void centreOn(const QScreen& screen);

    // The window as the logic sees it, in pixels.
    QSize logicalSize() const;
    void resizeLogical(const QSize& size);
    QPoint logicalPos() const;
    void moveLogical(const QPoint& position);
    // The height the menu bar takes in a window of that width.
    int menuBarHeightFor(int width) const;

    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }

    void setUnloadHandler(UnloadHandler handler);
    // Errors of the handler go to the caller.
    void runUnloadHandler(std::int16_t& cancel);

    // Takes the window off the screen for good; signals shellDestroyed the first time.
    void destroyWindow();
    bool isDestroyed() const { return m_destroyed; }

signals:
    void shellDestroyed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool isWindowShortcut(const QKeySequence& keys) const;
    static constexpr int kFrameWatchInterval = 50; // milliseconds
    static constexpr int kFrameWatchLimit = 5000;
    QMargins frameMargins() const;
    // How far the top-left corner of what the user sees lies from the logic's window's.
    QPoint frameOffset() const;
    // The top-left corner of the frame, or of the window without one.
    QPoint framePos() const;
    bool placedByManager() const;
    void keepPlacement();
    void followMenuBar();
    void holdSizeForMap(const QSize& size);
    void releaseHeldSize();
    static bool editableFieldFocused(const QWidget* focused);

    Surface* m_surface;
    // Where the logic last placed the window, until the user moves it: a frame that arrives or
    // changes later is centred there again.
    std::optional<QPoint> m_placement;
    // The bar's height the window's height was set for.
    int m_menuBarHeight = 0;
    // The size of the last resize asked for, bar and all.
    QSize m_requestedSize;
    // From the show until the window manager mapped the window, its size is fixed in the hints.
    bool m_sizeHeld = false;
    // Where the window was while it is hidden, the window's own corner without the frame.
    std::optional<QPoint> m_hiddenAt;
    QTimer m_frameWatch;
    QElapsedTimer m_frameWatchStart;
    QPoint m_placedOffset;
    QString m_caption;
    UnloadHandler m_unload;
    bool m_destroyed = false;
};

} // namespace qz
