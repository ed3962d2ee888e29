#pragma once

#include <chrono>
#include <functional>

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <QStringList>

class QLocalSocket;

namespace qz {

// Keeps the shell to one instance per user and profile. The first start holds a lock file and
// listens on a local socket beside it, in a folder only the user can write in; a later start asks it over
// that socket to bring its window back, and ends. A lock or a socket left behind by an instance that was
// killed never blocks a start. A running instance that is still starting (its event loop not yet running) is
// waited for: two shells never run on one profile.
class InstanceGuard final {
public:
    enum class Role {
        // Holds the lock and answers later starts.
        First,
        // The running instance brought its window back: this start has nothing left to do.
        Second,
        // No lock can be made where it belongs: this start runs on its own.
        Unguarded,
        // A running instance holds the lock but never answered: this start ends without running.
        Unanswered,
        // The start was told to stop while it waited.
        Cancelled,
    };
    // What the first instance does for a later start; true when its window is back.
    using ShowRequest = std::function<bool()>;

    using Cancel = std::function<bool()>;

    // How long a lock nothing listens behind is taken for a live holder's.
    static constexpr std::chrono::milliseconds kPatience { 2000 };
    // How long a live holder may take to answer: the whole of its start-up, even on a busy machine.
    static constexpr std::chrono::milliseconds kAnswerPatience { 60000 };

    // The lock is <directory>/<name>.lock, the socket <directory>/<name>.socket.
    InstanceGuard(const QString& directory, const QString& name);
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // The user's runtime folder, else the profile's folder: the first of them that is the user's
    // own, that no one else can write in and whose socket path fits. Empty when neither is: a
    // shared folder such as /tmp would let another user take the names first.
    static QString defaultDirectory();
    static QString chooseDirectory(const QStringList& candidates, const QString& name);
    // Names the profile's folder, so that a profile has one shell however a start writes its display
    // and whichever display it starts on.
    static QString defaultName();
    static QString nameFor(const QString& profileFolder);

    // Decides this start's role. A lock that nothing listens behind for patience is taken over; a
    // running instance's answer is awaited for at most answerPatience.
    Role claim(std::chrono::milliseconds patience = kPatience,
        std::chrono::milliseconds answerPatience = kAnswerPatience);
    // Checked while claim() waits: true ends the wait with Cancelled.
    void cancelWhen(Cancel cancelled);
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
    bool cancelled() const { return m_cancelled && m_cancelled(); }
    Answer ask(const QDeadlineTimer& deadline) const;
    void acceptConnections();
    void answer(QLocalSocket* socket);

    QLockFile m_lock;
    QString m_socketPath;
    QLocalServer m_server;
    ShowRequest m_showRequest;
    Cancel m_cancelled;
};

} // namespace qz
