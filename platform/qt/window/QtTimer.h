#pragma once

#include <functional>

#include <QTimer>

#include "platform/Window.h"

namespace qz {

// Timer1 over a QTimer. It ticks from creation when created enabled; a disabled timer stays silent
// until enabled again.
class QtTimer final : public Timer {
public:
    QtTimer(std::int32_t interval, bool enabled);

    // What a tick runs; the program runs the form's handler through the boundary.
    void onTick(std::function<void()> tick) { m_tick = std::move(tick); }

    bool Enabled() override;
    void setEnabled(bool enabled) override;
    std::int32_t Interval() override;

private:
    QTimer m_timer;
    std::function<void()> m_tick;
};

} // namespace qz
