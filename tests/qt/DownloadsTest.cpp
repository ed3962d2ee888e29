// Downloads of the shell's profile: the question, where they are saved and under which names.
#include <cerrno>
#include <memory>
#include <vector>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "platform/qt/downloads/DownloadNames.h"
#include "platform/qt/downloads/Downloads.h"
#include "platform/qt/page/WebPage.h"
#include "platform/qt/tray/TrayBalloons.h"
#include "platform/qt/window/MainWindowPresence.h"

namespace qz {
namespace {

using test::waitUntil;

struct Finish {
    QString path;
    bool succeeded;
};

class DownloadsTest : public ::testing::Test {
protected:
    // The user's downloads folder is one of the test's own, not there yet: xdg-user-dirs names it.
    DownloadsTest()
        : m_configHome(qgetenv("XDG_CONFIG_HOME"))
        , m_downloads(QDir(m_home.path()).filePath(QStringLiteral("下载")))
        , m_page(std::make_unique<WebPage>(m_profile.pages(), nullptr))
        , m_service(std::make_unique<Downloads>(
              m_profile.get(), m_profile.pages().input(), m_balloons, m_mainWindow)) {
        QFile dirs(QDir(m_home.path()).filePath(QStringLiteral("user-dirs.dirs")));
        dirs.open(QIODevice::WriteOnly);
        dirs.write(QStringLiteral("XDG_DOWNLOAD_DIR=\"%1\"\n").arg(m_downloads).toUtf8());
        dirs.close();
        qputenv("XDG_CONFIG_HOME", m_home.path().toLocal8Bit());

        const auto finished = [this](const QString& path, bool ok) { m_finished.push_back({ path, ok }); };
        QObject::connect(m_service.get(), &Downloads::finished, &m_context, finished);
        QObject::connect(
            m_service.get(), &Downloads::questionShown, &m_context, [this](DownloadQuestion* question) {
                ++m_questions;
                question->answer(m_answer);
            });
    }

    ~DownloadsTest() override {
        m_page.reset();
        if (m_configHome.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_configHome);
    }

    QUrl file(const QString& name, const QByteArray& content) {
        QFile out(QDir(m_source.path()).filePath(name));
        out.open(QIODevice::WriteOnly);
        out.write(content);
        return QUrl::fromLocalFile(out.fileName());
    }

    bool download(const QUrl& url, const QString& name) {
        const std::size_t before = m_finished.size();
        m_page->download(url, name);
        return waitUntil([&] { return m_finished.size() > before; });
    }

    static QByteArray contentOf(const QString& path) {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    QTemporaryDir m_home;
    QTemporaryDir m_source;
    QByteArray m_configHome;
    QString m_downloads;
    test::TestProfile m_profile;
    // The main window is not shown: an ended download is told by a balloon, which there is no icon for.
    MainWindowPresence m_mainWindow { nullptr };
    TrayBalloons m_balloons;
    std::unique_ptr<WebPage> m_page;
    std::unique_ptr<Downloads> m_service;
    QObject m_context;
    std::vector<Finish> m_finished;
    DownloadAnswer m_answer = DownloadAnswer::Save;
    int m_questions = 0;
};

TEST_F(DownloadsTest, TheFolderIsTheUsersDownloadsFolderCreatedWhenMissing) {
    ASSERT_EQ(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation), m_downloads);
    EXPECT_FALSE(QDir(m_downloads).exists());
    EXPECT_EQ(Downloads::folder(), m_downloads);
    EXPECT_TRUE(QDir(m_downloads).exists());
}

TEST_F(DownloadsTest, SavesTheFileUnderItsCleanedNameAndNeverOverwrites) {
    const QUrl installer = file(QStringLiteral("source.bin"), "installer, first");
    ASSERT_TRUE(download(installer, QStringLiteral(".setup\u202e.exe")));
    EXPECT_EQ(m_questions, 1);
    const QString first = QDir(m_downloads).filePath(QStringLiteral("setup.exe"));
    EXPECT_EQ(m_finished.back().path, first);
    EXPECT_TRUE(m_finished.back().succeeded);
    EXPECT_EQ(contentOf(first), "installer, first");

    const QUrl newer = file(QStringLiteral("newer.bin"), "installer, second");
    ASSERT_TRUE(download(newer, QStringLiteral("setup.exe")));
    const QString second = QDir(m_downloads).filePath(QStringLiteral("setup (1).exe"));
    EXPECT_EQ(m_finished.back().path, second);
    EXPECT_EQ(contentOf(second), "installer, second");
    EXPECT_EQ(contentOf(first), "installer, first");
}

TEST_F(DownloadsTest, AFailedDownloadIsReportedAndLeavesNothing) {
    const QUrl missing = QUrl::fromLocalFile(QDir(m_source.path()).filePath(QStringLiteral("gone.exe")));
    ASSERT_TRUE(download(missing, QStringLiteral("gone.exe")));
    EXPECT_FALSE(m_finished.back().succeeded);
    EXPECT_TRUE(QDir(m_downloads).isEmpty());
}

TEST(DownloadsMove, AFolderThatRefusesIsTriedOnceAndTheFileStaysWhole) {
    QTemporaryDir folder;
    QFile incoming(QDir(folder.path()).filePath(QStringLiteral("7")));
    ASSERT_TRUE(incoming.open(QIODevice::WriteOnly));
    incoming.write("an hour of downloading");
    incoming.close();
    // No name can be made below a regular file, however short: the refusal itself is the answer.
    const Downloads::Moved moved = Downloads::moveIntoFolder(incoming.fileName(),
        QDir(incoming.fileName()).filePath(QStringLiteral("下载")), QStringLiteral("报告.pdf"));
    EXPECT_EQ(moved.path, QString());
    EXPECT_EQ(moved.error, ENOTDIR);
    ASSERT_TRUE(incoming.open(QIODevice::ReadOnly));
    EXPECT_EQ(incoming.readAll(), "an hour of downloading");
}

TEST(DownloadsNames, AreCleanedAndShortenedByBytes) {
    const QString longBase = QString(100, u'长'); // 300 bytes of UTF-8
    const struct {
        QString suggested;
        QString expected;
    } cases[] = {
        { QStringLiteral("报告.pdf"), QStringLiteral("报告.pdf") },
        { QStringLiteral("../../.ssh/authorized_keys"), QStringLiteral("authorized_keys") },
        { QStringLiteral("C:\\Windows\\evil.dll"), QStringLiteral("evil.dll") },
        { QStringLiteral(".bashrc"), QStringLiteral("bashrc") },
        { QStringLiteral(" ..hidden. "), QStringLiteral("hidden") },
        { QStringLiteral("photo\u202egpj.exe"), QStringLiteral("photogpj.exe") },
        { QStringLiteral("bell\a line\nbreak\r.txt"), QStringLiteral("bell linebreak.txt") },
        { QStringLiteral("zero\u200bwidth\u2028.txt"), QStringLiteral("zerowidth.txt") },
        { QStringLiteral("..."), QStringLiteral("未命名下载") },
        { QString(), QStringLiteral("未命名下载") },
        { longBase + QStringLiteral(".txt"), QString(83, u'长') + QStringLiteral(".txt") },
        { longBase, QString(85, u'长') },
        { QString(300, u'a') + QStringLiteral(".extension-too-long-to-keep"), QString(255, u'a') },
    };
    for (const auto& entry : cases) {
        const QString name = DownloadNames::cleaned(entry.suggested);
        EXPECT_EQ(name, entry.expected) << entry.suggested.toStdString();
        EXPECT_LE(name.toUtf8().size(), DownloadNames::kMaxBytes);
    }
    // Whole characters only, never half a surrogate pair.
    EXPECT_EQ(DownloadNames::fitted(QStringLiteral("a😀.txt"), 7), QStringLiteral("a.txt"));
}

TEST(DownloadsNames, NumberGoesBeforeTheExtensionAndAlwaysShows) {
    QTemporaryDir folder;
    auto touch = [&](const QString& name) {
        QFile out(QDir(folder.path()).filePath(name));
        out.open(QIODevice::WriteOnly);
    };
    const QDir dir(folder.path());
    touch(QStringLiteral("a.tar.gz"));
    EXPECT_EQ(Downloads::freePath(folder.path(), QStringLiteral("a.tar.gz")),
        dir.filePath(QStringLiteral("a.tar (1).gz")));
    touch(QStringLiteral("README"));
    EXPECT_EQ(Downloads::freePath(folder.path(), QStringLiteral("README")),
        dir.filePath(QStringLiteral("README (1)")));
    const QString longName = QString(80, u'长') + QStringLiteral(".txt"); // 244 bytes
    touch(longName);
    const QString numbered = QFileInfo(Downloads::freePath(folder.path(), longName)).fileName();
    EXPECT_TRUE(numbered.endsWith(QStringLiteral(" (1).txt"))) << numbered.toStdString();
    EXPECT_LE(numbered.toUtf8().size(), DownloadNames::kMaxBytes);
}

} // namespace
} // namespace qz
