#include "EngineStart.h"

#include <utility>

#include <QWebEnginePage>

namespace qz {

EngineStart::EngineStart(QWebEnginePage* page, std::chrono::milliseconds bound) {
    m_bound.setSingleShot(true);
    m_bound.setInterval(bound);
    connect(&m_bound, &QTimer::timeout, this, &EngineStart::finish);
    connect(page, &QWebEnginePage::loadFinished, this, &EngineStart::finish);
}

void EngineStart::whenDone(std::function<void()> then) {
    if (m_done) {
        then();
        return;
    }
    m_waiting.push_back(std::move(then));
    if (!m_bound.isActive())
        m_bound.start();
}

void EngineStart::finish() {
    if (m_done)
        return;
    m_done = true;
    m_bound.stop();
    for (const std::function<void()>& then : std::exchange(m_waiting, {}))
        then();
}

} // namespace qz
