// Downloads of the shell's profile: where they are saved, under which names, and the notice after.
#include <memory>
#include <vector>

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineProfile>
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "platform/qt/Downloads.h"
#include "platform/qt/Profile.h"
#include "platform/qt/WebPage.h"

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
        , m_page(std::make_unique<WebPage>(shellProfile(), nullptr)) {
        QFile dirs(QDir(m_home.path()).filePath(QStringLiteral("user-dirs.dirs")));
        dirs.open(QIODevice::WriteOnly);
        dirs.write(QStringLiteral("XDG_DOWNLOAD_DIR=\"%1\"\n").arg(m_downloads).toUtf8());
        dirs.close();
        qputenv("XDG_CONFIG_HOME", m_home.path().toLocal8Bit());

        m_service = shellProfile()->findChild<Downloads*>();
        if (!m_service)
            return;
        QObject::connect(
            m_service, &Downloads::finished, &m_context, [this](const QString& path, bool succeeded) {
                m_finished.push_back({ path, succeeded });
            });
        QObject::connect(m_service, &Downloads::noticeShown, &m_context,
            [this](QMessageBox* notice) { m_notices.append(notice); });
    }

    ~DownloadsTest() override {
        for (const QPointer<QMessageBox>& notice : m_notices)
            if (notice)
                notice->close();
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
    std::unique_ptr<WebPage> m_page;
    Downloads* m_service = nullptr;
    QObject m_context;
    std::vector<Finish> m_finished;
    QList<QPointer<QMessageBox>> m_notices;
};

TEST_F(DownloadsTest, TheFolderIsTheUsersDownloadsFolderCreatedWhenMissing) {
    ASSERT_EQ(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation), m_downloads);
    EXPECT_FALSE(QDir(m_downloads).exists());
    EXPECT_EQ(Downloads::folder(), m_downloads);
    EXPECT_TRUE(QDir(m_downloads).exists());
}

TEST_F(DownloadsTest, SavesTheFileUnderItsNameAndNeverOverwrites) {
    ASSERT_NE(m_service, nullptr);
    const QUrl installer = file(QStringLiteral("source.bin"), "installer, first");
    ASSERT_TRUE(download(installer, QStringLiteral("setup.exe")));
    const QString first = QDir(m_downloads).filePath(QStringLiteral("setup.exe"));
    EXPECT_EQ(m_finished.back().path, first);
    EXPECT_TRUE(m_finished.back().succeeded);
    EXPECT_EQ(contentOf(first), "installer, first");

    const QUrl newer = file(QStringLiteral("newer.bin"), "installer, second");
    ASSERT_TRUE(download(newer, QStringLiteral("setup.exe")));
    const QString second = QDir(m_downloads).filePath(QStringLiteral("setup (1).exe"));
    EXPECT_EQ(m_finished.back().path, second);
    EXPECT_TRUE(m_finished.back().succeeded);
    EXPECT_EQ(contentOf(second), "installer, second");
    EXPECT_EQ(contentOf(first), "installer, first");
}

TEST_F(DownloadsTest, TellsTheUserWithoutBlockingTheShell) {
    ASSERT_NE(m_service, nullptr);
    ASSERT_TRUE(download(file(QStringLiteral("report.pdf"), "%PDF"), QStringLiteral("report.pdf")));
    ASSERT_EQ(m_notices.size(), 1);
    QMessageBox* notice = m_notices.front();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_FALSE(notice->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(notice->text(), QStringLiteral("已下载：report.pdf"));
    EXPECT_TRUE(notice->informativeText().contains(QDir::toNativeSeparators(m_downloads)));
    // Closed from within the event loop, as the user would, so that it is deleted in it.
    QTimer::singleShot(0, notice, &QWidget::close);
    EXPECT_TRUE(waitUntil([&] { return m_notices.front().isNull(); }, 3000));
}

TEST_F(DownloadsTest, AFailedDownloadIsReportedAsSuch) {
    ASSERT_NE(m_service, nullptr);
    const QUrl missing = QUrl::fromLocalFile(QDir(m_source.path()).filePath(QStringLiteral("gone.exe")));
    ASSERT_TRUE(download(missing, QStringLiteral("gone.exe")));
    EXPECT_FALSE(m_finished.back().succeeded);
    ASSERT_EQ(m_notices.size(), 1);
    ASSERT_NE(m_notices.front(), nullptr);
    EXPECT_EQ(m_notices.front()->text(), QStringLiteral("下载失败：gone.exe"));
}

TEST(DownloadsNames, NumberGoesBeforeTheExtension) {
    QTemporaryDir folder;
    auto touch = [&](const QString& name) {
        QFile out(QDir(folder.path()).filePath(name));
        out.open(QIODevice::WriteOnly);
    };
    test::TestProfile profile;
    const Downloads downloads(profile.get());
    const QDir dir(folder.path());
    EXPECT_EQ(downloads.freePath(folder.path(), QStringLiteral("a.tar.gz")),
        dir.filePath(QStringLiteral("a.tar.gz")));
    touch(QStringLiteral("a.tar.gz"));
    EXPECT_EQ(downloads.freePath(folder.path(), QStringLiteral("a.tar.gz")),
        dir.filePath(QStringLiteral("a.tar (1).gz")));
    touch(QStringLiteral("a.tar (1).gz"));
    EXPECT_EQ(downloads.freePath(folder.path(), QStringLiteral("a.tar.gz")),
        dir.filePath(QStringLiteral("a.tar (2).gz")));
    touch(QStringLiteral("README"));
    EXPECT_EQ(downloads.freePath(folder.path(), QStringLiteral("README")),
        dir.filePath(QStringLiteral("README (1)")));
}

} // namespace
} // namespace qz
