#include "QtTimer.h"

namespace qz {

QtTimer::QtTimer(std::int32_t interval, bool enabled) {
    m_timer.setInterval(interval);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_tick)
            m_tick();
    });
    if (enabled)
        m_timer.start();
}

bool QtTimer::Enabled() {
    return m_timer.isActive();
}

void QtTimer::setEnabled(bool enabled) {
    // Enabling a running timer leaves its count alone.
    if (!enabled)
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start();
}

std::int32_t QtTimer::Interval() {
    return m_timer.interval();
}

} // namespace qz
