#pragma once

#include <QPointer>
#include <QWidget>

namespace qz {

// Whether the user can see the main window, decided here for every part of the shell that asks: no
// question is put over a window the user cannot see, and what the window would have shown goes to a
// balloon instead. A minimized window is not shown: its page is out of sight.
class MainWindowPresence final {
public:
    explicit MainWindowPresence(const QWidget* window);

    bool shown() const;
    bool is(const QWidget* widget) const { return widget && widget == m_window; }

private:
    QPointer<const QWidget> m_window;
};

} // namespace qz
