#pragma once

#include <array>
#include <csignal>
#include <memory>
#include <vector>

#include <QObject>

class QSocketNotifier;

namespace qz {

// SIGTERM, SIGINT and SIGHUP, turned into a Qt signal on the event loop. The handler only writes the
// signal's number into a pipe (all it may safely do); the loop reads it back. One instance at a time;
// the previous handlers come back when it goes.
class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void drain();

    std::array<int, 2> m_pipe { -1, -1 };
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<std::pair<int, struct sigaction>> m_previous;
};

} // namespace qz
