#pragma once

#include <chrono>
#include <functional>

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLockFile>
#include <QString>

class QLocalSocket;

namespace qz {

// Keeps the shell to one instance per user and display. The first start holds a lock file and
// listens on a local socket beside it; a later start asks it over that socket to bring its window
// back, and ends. A lock or a socket left behind by an instance that was killed never blocks a start,
// and a running instance that does not answer only delays one.
class InstanceGuard final {
public:
    enum class Role {
        // Holds the lock and answers later starts.
        First,
        // The running instance brought its window back: this start has nothing left to do.
        Second,
        // A running instance holds the lock but did not answer in time: this start runs on its own.
        Unguarded,
    };
    // What the first instance does for a later start; true when its window is back.
    using ShowRequest = std::function<bool()>;

    static constexpr std::chrono::milliseconds kPatience { 2000 };

    // The lock is <directory>/<name>.lock, the socket <directory>/<name>.socket.
    InstanceGuard(const QString& directory, const QString& name);
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // The user's runtime folder (private to the user), else the temporary folder.
    static QString defaultDirectory();
    // Names the user and the display, so that each display of a user has its own shell.
    static QString defaultName();

    // Decides this start's role; waits for a running instance's answer at most about patience.
    Role claim(std::chrono::milliseconds patience = kPatience);
    // Until it is set, the first instance answers that it cannot bring a window back.
    void onShowRequest(ShowRequest request);

    QString socketPath() const { return m_socketPath; }

private:
    enum class Answer {
        // Nothing listens: no socket, or one whose owner is gone.
        Unreachable,
        // Connected, but no answer in time.
        Silent,
        // The running instance has no window to bring back (it is ending): asking again may find
        // the lock free.
        Busy,
        Shown,
    };

    Role becomeFirst();
    Answer ask(const QDeadlineTimer& deadline) const;
    void acceptConnections();
    void answer(QLocalSocket* socket);

    QLockFile m_lock;
    QString m_socketPath;
    QLocalServer m_server;
    ShowRequest m_showRequest;
};

} // namespace qz
