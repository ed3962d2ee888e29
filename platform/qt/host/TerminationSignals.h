#pragma once

#include <array>
#include <memory>

#include <QObject>

class QSocketNotifier;

namespace qz {

// SIGTERM, SIGINT and SIGHUP, turned into a Qt signal on the event loop. The handler only writes the
// signal's number into a pipe (all it may safely do); the loop reads it back. The handler is the
// process's from the first catchEarly() or instance on: a signal that arrives before any instance
// exists, or between two, waits in the pipe for the next one.
class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // First thing in main, before the application or any thread exists: from here on a termination
    // signal never ends the process by its default action.
    static void catchEarly();
    // Whether a signal has arrived that no instance has reported yet.
    static bool pending();

signals:
    void received(int signalNumber);

private:
    void drain();

    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace qz
