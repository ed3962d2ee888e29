#include "InstanceGuard.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#if defined(Q_OS_UNIX)
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

QString userId() {
#if defined(Q_OS_UNIX)
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

// The display the windows go to, as one file-name-safe word.
QString displayId() {
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = QGuiApplication::platformName();
    for (QChar& c : display) {
        if (!c.isLetterOrNumber() && c != u'.')
            c = u'_';
    }
    return display.left(48);
}
} // namespace

InstanceGuard::InstanceGuard(const QString& directory, const QString& name)
    : m_lock(QDir(directory).filePath(name + QStringLiteral(".lock")))
    , m_socketPath(QDir(directory).filePath(name + QStringLiteral(".socket"))) {
    // The lock is held for as long as the shell runs: only a holder that is gone makes it stale.
    m_lock.setStaleLockTime(0);
    // A bare name puts the socket in the temporary folder, where its name still tells users and
    // displays apart.
    if (m_socketPath.toLocal8Bit().size() > kMaxSocketPath)
        m_socketPath = name + QStringLiteral(".socket");
}

QString InstanceGuard::defaultDirectory() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

QString InstanceGuard::defaultName() {
    return QStringLiteral("qz-shell-%1-%2").arg(userId(), displayId());
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
