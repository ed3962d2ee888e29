#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/qt/WindowPresence.h"

namespace qz {

// Whether the user can see the main window, decided here for every part of the shell that asks. A
// minimized window is not shown: its page is out of sight.
class MainWindowPresence final : public WindowPresence {
public:
    explicit MainWindowPresence(const QWidget* window);

    bool shown() const override;
    bool is(const QWidget* widget) const override { return widget && widget == m_window; }

private:
    QPointer<const QWidget> m_window;
};

} // namespace qz
