#pragma once

#include <QObject>

#include "TerminationSignals.h"

namespace qz {

// Every way the session can end under the shell, as one signal: SIGTERM, SIGINT or SIGHUP, the
// platform's request to quit (the session manager's "die" arrives as one), and the application
// quitting by any other way. A request to quit is reported before Qt acts on it: Qt first asks each
// window to close, and a window whose close only hides it would otherwise keep the session waiting.
// ended() may come more than once; the receiver ends only once.
class SessionEnd final : public QObject {
    Q_OBJECT
public:
    explicit SessionEnd(QObject* parent = nullptr);

signals:
    void ended();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TerminationSignals m_signals;
};

} // namespace qz
