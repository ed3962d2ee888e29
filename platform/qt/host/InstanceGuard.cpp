#include "InstanceGuard.h"

#include <algorithm>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qz {

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
const QByteArray kShown = QByteArrayLiteral("shown\n");
const QByteArray kBusy = QByteArrayLiteral("busy\n");
// Longer than any request, so a client that sends garbage is cut off early.
constexpr qint64 kMaxLine = 64;
constexpr int kRetryMs = 50;
// A Unix socket's path must fit its 108-byte address field.
constexpr qsizetype kMaxSocketPath = 100;

int remainingMs(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0));
}

// The folder the engine keeps the profile in lies inside this one.
QString profileFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

// The user's own folder, which no one else can write in: what is made there only the user can
// have made.
bool ownedByUserAlone(const QString& folder) {
#if defined(Q_OS_UNIX)
    struct stat info {};
    const QByteArray path = QFile::encodeName(folder);
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid()
        && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0 && ::access(path.constData(), W_OK | X_OK) == 0;
#else
    return QFileInfo(folder).isWritable();
#endif
}
} // namespace

InstanceGuard::InstanceGuard(const QString& directory, const QString& name)
    : m_lock(QDir(directory).filePath(name + QStringLiteral(".lock")))
    , m_socketPath(QDir(directory).filePath(name + QStringLiteral(".socket"))) {
    // The lock is held for as long as the shell runs: only a holder that is gone makes it stale.
    m_lock.setStaleLockTime(0);
}

QString InstanceGuard::defaultDirectory() {
    QStringList candidates { qEnvironmentVariable("XDG_RUNTIME_DIR") };
    // The profile's folder is made here if it is not there yet: the engine would make it anyway.
    if (const QString profile = profileFolder(); !profile.isEmpty() && QDir().mkpath(profile))
        candidates.append(profile);
    return chooseDirectory(candidates, defaultName());
}

QString InstanceGuard::chooseDirectory(const QStringList& candidates, const QString& name) {
    for (const QString& folder : candidates) {
        if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
            continue;
        const QString socket = QDir(folder).filePath(name + QStringLiteral(".socket"));
        if (QFile::encodeName(socket).size() <= kMaxSocketPath && ownedByUserAlone(folder))
            return QDir::cleanPath(folder);
    }
    return {};
}

QString InstanceGuard::defaultName() {
    return nameFor(profileFolder());
}

QString InstanceGuard::nameFor(const QString& profileFolder) {
    // The folder as the file system knows it: a link or "//" in HOME still names the same profile.
    const QString canonical = QFileInfo(profileFolder).canonicalFilePath();
    const QString folder
        = canonical.isEmpty() ? QDir::cleanPath(QDir::fromNativeSeparators(profileFolder)) : canonical;
    const QByteArray digest = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("qz-shell-") + QString::fromLatin1(digest.left(16));
}

void InstanceGuard::onShowRequest(ShowRequest request) {
    m_showRequest = std::move(request);
}

void InstanceGuard::cancelWhen(Cancel cancelled) {
    m_cancelled = std::move(cancelled);
}

InstanceGuard::Role InstanceGuard::claim(
    std::chrono::milliseconds patience, std::chrono::milliseconds answerPatience) {
    const QDeadlineTimer unheardDeadline(patience);
    const QDeadlineTimer answerDeadline(answerPatience);
    bool reached = false;
    for (;;) {
        if (cancelled())
            return Role::Cancelled;
        // A lock whose holder has died is taken over here.
        if (m_lock.tryLock(0))
            return becomeFirst();
        if (m_lock.error() != QLockFile::LockFailedError) {
            qWarning("qz-shell: no lock can be made in %s; starting without one",
                qPrintable(QFileInfo(m_lock.fileName()).path()));
            return Role::Unguarded;
        }
        switch (ask(answerDeadline)) {
        case Answer::Shown:
            return Role::Second;
        case Answer::Silent:
        case Answer::Busy:
            reached = true;
            break;
        case Answer::Unreachable:
            break;
        }
        // Nothing listened behind the lock the whole time: its holder is gone even if its process id
        // still looks alive (a killed shell its parent has not reaped yet). A holder that is alive
        // still holds the file, and then Qt refuses to remove it.
        if (!reached && unheardDeadline.hasExpired() && m_lock.removeStaleLockFile() && m_lock.tryLock(0))
            return becomeFirst();
        if (answerDeadline.hasExpired())
            break;
        QThread::msleep(kRetryMs);
    }
    qWarning("qz-shell: the running instance does not answer; not starting a second shell on its profile");
    return Role::Unanswered;
}

InstanceGuard::Role InstanceGuard::becomeFirst() {
    // A socket left by a killed instance would make listen fail.
    QLocalServer::removeServer(m_socketPath);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(&m_server, &QLocalServer::newConnection, &m_server, [this] { acceptConnections(); });
    if (!m_server.listen(m_socketPath))
        qWarning("qz-shell: later starts cannot reach this one: %s", qPrintable(m_server.errorString()));
    return Role::First;
}

InstanceGuard::Answer InstanceGuard::ask(const QDeadlineTimer& deadline) const {
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(remainingMs(deadline)))
        return Answer::Unreachable;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(remainingMs(deadline)))
        return Answer::Silent;
    // A starting instance answers once its event loop runs: wait in short steps, so that a request to
    // stop is heard.
    while (!socket.canReadLine()) {
        if (cancelled() || deadline.hasExpired() || socket.state() != QLocalSocket::ConnectedState)
            return Answer::Silent;
        socket.waitForReadyRead(std::min(remainingMs(deadline), kRetryMs));
    }
    return socket.readLine(kMaxLine) == kShown ? Answer::Shown : Answer::Busy;
}

void InstanceGuard::acceptConnections() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { answer(socket); });
        // A client that connects and says nothing is not kept.
        QTimer::singleShot(kPatience, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
    }
}

void InstanceGuard::answer(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxLine) {
            socket->abort();
            socket->deleteLater();
        }
        return;
    }
    const QByteArray request = socket->readLine(kMaxLine + 1);
    const bool shown = request == kShowRequest && m_showRequest && m_showRequest();
    socket->write(shown ? kShown : kBusy);
    // Sends what is written first; the socket goes once the client has hung up.
    socket->disconnectFromServer();
}

} // namespace qz
