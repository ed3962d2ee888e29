#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include <QObject>
#include <QTimer>

class QWebEnginePage;

namespace qz {

// Whether the browser engine has finished starting: the first page's first load has ended, well or
// not. Torn down before that, Qt WebEngine may crash in its own shutdown (seen with 6.8 while the disk
// is slow), so an early end waits for it. A page that never ends loading holds nothing up for longer
// than the bound.
class EngineStart final : public QObject {
public:
    EngineStart(QWebEnginePage* page, std::chrono::milliseconds bound);

    bool done() const { return m_done; }
    // Runs then once the engine has started, at once if it has; the bound counts from the first wait.
    void whenDone(std::function<void()> then);

private:
    void finish();

    bool m_done = false;
    QTimer m_bound;
    std::vector<std::function<void()>> m_waiting;
};

} // namespace qz
