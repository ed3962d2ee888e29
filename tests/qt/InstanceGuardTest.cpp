// One shell per user and profile: a later start is answered by the running one, and nothing a dead
// or silent instance leaves behind keeps a start from happening.
#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>

#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/qt/host/InstanceGuard.h"

namespace qz {
namespace {

using namespace std::chrono_literals;
using Role = InstanceGuard::Role;

const QString kName = QStringLiteral("qz-shell-test");
const char kChildDirectory[] = "QZ_INSTANCE_GUARD_CHILD_DIR";

// The first instance on a thread of its own with its own event loop, as the running shell answers
// from its loop while a later start waits.
class FirstInstance final : public QThread {
public:
    FirstInstance(QString directory, std::function<bool()> showRequest, bool answering = true)
        : m_directory(std::move(directory))
        , m_showRequest(std::move(showRequest))
        , m_answering(answering) {
        start();
        m_ready.acquire();
    }
    ~FirstInstance() override {
        m_stop = true;
        quit();
        wait();
    }

    Role role() const { return m_role; }
    int requests() const { return m_requests; }

protected:
    void run() override {
        InstanceGuard guard(m_directory, kName);
        m_role = guard.claim();
        if (m_showRequest) {
            guard.onShowRequest([this] {
                ++m_requests;
                return m_showRequest();
            });
        }
        m_ready.release();
        if (m_answering) {
            exec();
            return;
        }
        // Hung: it holds the lock and listens, but never runs its loop.
        while (!m_stop)
            msleep(10);
    }

private:
    QString m_directory;
    std::function<bool()> m_showRequest;
    bool m_answering;
    QSemaphore m_ready;
    std::atomic<Role> m_role { Role::Unguarded };
    std::atomic<int> m_requests { 0 };
    std::atomic<bool> m_stop { false };
};

class InstanceGuardTest : public ::testing::Test {
protected:
    QString lockPath() const { return QDir(m_dir.path()).filePath(kName + QStringLiteral(".lock")); }
    QString socketPath() const { return QDir(m_dir.path()).filePath(kName + QStringLiteral(".socket")); }

    // Claims as a later start would, and how long that took.
    std::pair<Role, qint64> claim(std::chrono::milliseconds patience = InstanceGuard::kPatience) {
        InstanceGuard guard(m_dir.path(), kName);
        QElapsedTimer clock;
        clock.start();
        const Role role = guard.claim(patience, patience);
        return { role, clock.elapsed() };
    }

    QTemporaryDir m_dir;
};

TEST_F(InstanceGuardTest, FirstStartHoldsTheLockAndListens) {
    InstanceGuard guard(m_dir.path(), kName);
    EXPECT_EQ(guard.claim(), Role::First);
    EXPECT_TRUE(QFileInfo::exists(lockPath()));
    EXPECT_EQ(guard.socketPath(), socketPath());
    EXPECT_TRUE(QFileInfo(socketPath()).exists());
}

TEST_F(InstanceGuardTest, LaterStartIsAnsweredByTheRunningOneAndEnds) {
    FirstInstance first(m_dir.path(), [] { return true; });
    ASSERT_EQ(first.role(), Role::First);

    const auto [role, elapsed] = claim();
    EXPECT_EQ(role, Role::Second);
    EXPECT_EQ(first.requests(), 1);
    EXPECT_LT(elapsed, 1000);

    // Every later start is answered, each once.
    EXPECT_EQ(claim().first, Role::Second);
    EXPECT_EQ(first.requests(), 2);
}

TEST_F(InstanceGuardTest, InstanceWithoutAWindowToShowIsAskedAgainThenTheStartEnds) {
    FirstInstance first(m_dir.path(), [] { return false; });
    const auto [role, elapsed] = claim(400ms);
    EXPECT_EQ(role, Role::Unanswered);
    EXPECT_GE(first.requests(), 2);
    EXPECT_GE(elapsed, 400);
    EXPECT_LT(elapsed, 1500);
}

TEST_F(InstanceGuardTest, InstanceNotYetReadyToAnswerSaysSo) {
    FirstInstance first(m_dir.path(), nullptr);
    EXPECT_EQ(claim(300ms).first, Role::Unanswered);
}

// A shell still starting answers late; a later start never runs beside it.
TEST_F(InstanceGuardTest, SilentInstanceIsWaitedForAndNeverRunBeside) {
    const auto silent = [] { return true; };
    FirstInstance first(m_dir.path(), silent, false);
    ASSERT_EQ(first.role(), Role::First);
    const auto [role, elapsed] = claim(500ms);
    EXPECT_EQ(role, Role::Unanswered);
    EXPECT_GE(elapsed, 450);
    EXPECT_LT(elapsed, 2000);
    EXPECT_TRUE(QFileInfo::exists(lockPath())) << "the silent instance keeps its lock";

    InstanceGuard stopped(m_dir.path(), kName);
    stopped.cancelWhen([] { return true; });
    EXPECT_EQ(stopped.claim(), Role::Cancelled);
}

TEST_F(InstanceGuardTest, InstanceThatEndedFreesTheLockForTheNextStart) {
    {
        FirstInstance first(m_dir.path(), [] { return true; });
    }
    EXPECT_FALSE(QFileInfo::exists(lockPath()));
    const auto [role, elapsed] = claim();
    EXPECT_EQ(role, Role::First);
    EXPECT_LT(elapsed, 500);
}

// What a killed shell leaves: the lock naming a process that no longer exists, and the socket file.
TEST_F(InstanceGuardTest, LockAndSocketOfAKilledInstanceNeverBlockAStart) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChildDirectory), m_dir.path());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--gtest_also_run_disabled_tests"),
            QStringLiteral("--gtest_filter=InstanceGuardChild.DISABLED_ClaimsAndIsKilled") });
    ASSERT_TRUE(child.waitForFinished(30000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAllStandardError().toStdString();
    ASSERT_TRUE(QFileInfo::exists(lockPath()));
    ASSERT_TRUE(QFileInfo(socketPath()).exists());

    InstanceGuard next(m_dir.path(), kName);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(next.claim(), Role::First);
    EXPECT_LT(clock.elapsed(), 500);
    // The new instance listens where the dead one did: a start after it is answered.
    next.onShowRequest([] { return true; });
    QSemaphore answered;
    std::atomic<Role> later { Role::First };
    QThread* asker = QThread::create([&] {
        later = claim().first;
        answered.release();
    });
    asker->start();
    EXPECT_TRUE(test::waitFor([&] { return answered.tryAcquire(); }, 5000));
    asker->wait();
    delete asker;
    EXPECT_EQ(later, Role::Second);
}

// A holder whose process id still looks alive (a killed shell its parent has not reaped yet) but
// that holds nothing and answers nothing: once the patience is spent, the lock is taken over.
TEST_F(InstanceGuardTest, LockOfAProcessThatLooksAliveButHoldsNothingIsTakenOver) {
    QByteArray contents;
    {
        QLockFile original(lockPath());
        ASSERT_TRUE(original.tryLock(0));
        QFile file(lockPath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        contents = file.readAll();
    }
    // This process's own id, which is alive, and no one holding the file.
    QFile file(lockPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();

    InstanceGuard guard(m_dir.path(), kName);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(guard.claim(300ms), Role::First);
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_TRUE(QFileInfo(socketPath()).exists());
}

// A live holder that does not answer keeps its lock, and the start does not run.
TEST_F(InstanceGuardTest, LockOfALiveHolderIsNeverTakenOver) {
    QLockFile holder(lockPath());
    ASSERT_TRUE(holder.tryLock(0));
    EXPECT_EQ(claim(300ms).first, Role::Unanswered);
    EXPECT_TRUE(QFileInfo::exists(lockPath()));
}

TEST_F(InstanceGuardTest, LockThatCannotBeMadeLetsTheStartRun) {
    const auto [role, elapsed] = [this] {
        InstanceGuard guard(QDir(m_dir.path()).filePath(QStringLiteral("missing")), kName);
        QElapsedTimer clock;
        clock.start();
        const Role r = guard.claim();
        return std::pair { r, clock.elapsed() };
    }();
    EXPECT_EQ(role, Role::Unguarded);
    EXPECT_LT(elapsed, 500);
}

TEST(InstanceGuardName, NamesTheProfileHoweverTheDisplayIsWritten) {
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":91");
    const QString first = InstanceGuard::defaultName();
    qputenv("DISPLAY", ":91.0");
    const QString second = InstanceGuard::defaultName();
    if (display.isNull())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", display);
    EXPECT_EQ(first, second);

    QTemporaryDir home;
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("a/qz-shell")));
    ASSERT_TRUE(QFile::link(home.filePath(QStringLiteral("a")), home.filePath(QStringLiteral("link"))));
    const QString profile = home.filePath(QStringLiteral("a/qz-shell"));
    EXPECT_EQ(InstanceGuard::nameFor(profile),
        InstanceGuard::nameFor(home.path() + QStringLiteral("//link/qz-shell/")));
    EXPECT_NE(
        InstanceGuard::nameFor(profile), InstanceGuard::nameFor(home.filePath(QStringLiteral("b/qz-shell"))));
}

// The lock and socket go only where no one else can have made them first.
TEST(InstanceGuardFolder, OnlyAFolderTheUserAloneCanWriteIn) {
    QTemporaryDir root;
    const auto folder = [&](const QString& name, QFile::Permissions permissions) {
        const QString path = root.filePath(name);
        EXPECT_TRUE(QDir().mkpath(path));
        EXPECT_TRUE(QFile::setPermissions(path, permissions));
        return path;
    };
    const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    const QString own = folder(QStringLiteral("own"), owner);
    const QString groupWritable
        = folder(QStringLiteral("group"), owner | QFile::WriteGroup | QFile::ExeGroup);
    const QString everyone = folder(QStringLiteral("everyone"), owner | QFile::WriteOther | QFile::ExeOther);
    const QString tooLong = folder(QString(90, u'x'), owner);
    const auto choose
        = [](const QStringList& candidates) { return InstanceGuard::chooseDirectory(candidates, kName); };

    EXPECT_EQ(choose({ QString(), own }), own) << "no runtime folder: the profile's";
    EXPECT_EQ(choose({ groupWritable, own }), own);
    EXPECT_EQ(choose({ everyone, own }), own);
    EXPECT_EQ(choose({ tooLong, own }), own) << "a socket path that does not fit";
    EXPECT_EQ(choose({ root.filePath(QStringLiteral("missing")), QStringLiteral("relative"), own }), own);
    EXPECT_EQ(choose({ QStringLiteral("/tmp"), groupWritable }), QString()) << "unguarded, not in /tmp";
}

// Run only as the child of the test above: claims, then dies as kill -9 would end it.
TEST(InstanceGuardChild, DISABLED_ClaimsAndIsKilled) {
    const QString directory = qEnvironmentVariable(kChildDirectory);
    ASSERT_FALSE(directory.isEmpty());
    InstanceGuard guard(directory, kName);
    ASSERT_EQ(guard.claim(), Role::First);
    std::raise(SIGKILL);
}

} // namespace
} // namespace qz
