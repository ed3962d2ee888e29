#pragma once

#include <cstdint>
#include <functional>

#include <QMainWindow>

class QScreen;

namespace qz {

class Surface;

// The shell's main window: a menu bar held at 20 pixels over the surface that carries the browser
// view. A close request from the frame runs the unload handler, which may refuse it.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kMenuBarHeight = 20;
    using UnloadHandler = std::function<void(std::int16_t& cancel)>;

    explicit MainWindow(QWidget* parent = nullptr);

    Surface* surface() const { return m_surface; }

    // Sizes the window so that the area under the menu bar has the given size.
    void setClientSize(const QSize& size);
    // Puts the window in the middle of the screen, rounding as the logic's own centring in twips does.
    void centreOn(const QScreen& screen);

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

private:
    bool isWindowShortcut(const QKeySequence& keys) const;
    static bool editableFieldFocused(const QWidget* focused);

    Surface* m_surface;
    QString m_caption;
    UnloadHandler m_unload;
    bool m_destroyed = false;
};

} // namespace qz
