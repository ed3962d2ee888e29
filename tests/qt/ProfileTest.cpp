// The shell's profile on the way out: whatever is still open goes, each part before what it uses.
#include <memory>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QDir>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWidget>
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "platform/qt/downloads/DownloadQuestion.h"
#include "platform/qt/downloads/Downloads.h"
#include "platform/qt/host/Profile.h"
#include "platform/qt/host/WritableStorage.h"
#include "platform/qt/page/BrowserWindow.h"
#include "platform/qt/page/Pages.h"
#include "platform/qt/page/ProxyInUse.h"
#include "platform/qt/page/WebPage.h"
#include "platform/qt/tray/TrayBalloons.h"
#include "platform/qt/window/MainWindowPresence.h"

namespace qz {
namespace {

using test::waitUntil;

// Answers every request with the start of a large file and never sends the rest.
class EndlessDownload {
public:
    EndlessDownload() {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->readAll();
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                              "Content-Disposition: attachment; filename=\"setup.exe\"\r\n"
                              "Content-Length: 100000000\r\n\r\n");
                socket->write(QByteArray(64 * 1024, 'x'));
            });
        });
    }
    QUrl url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/setup.exe").arg(m_server.serverPort()));
    }

private:
    QTcpServer m_server;
};

// The folders the profile writes to are the test's own for its whole life.
class UserFolders {
public:
    UserFolders() {
        for (const char* name : { "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME" }) {
            m_saved.emplace_back(name, qgetenv(name));
            qputenv(name, QDir(m_dir.path()).filePath(QString::fromLatin1(name)).toLocal8Bit());
        }
    }
    ~UserFolders() {
        for (const auto& [name, value] : m_saved)
            value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
        test::removeAfterEngine(m_dir);
    }

private:
    QTemporaryDir m_dir;
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

TEST(Profile, EndsWithALinkWindowADownloadAndItsQuestionOpenEachPartBeforeWhatItUses) {
    UserFolders folders;
    QWidget mainWindow;
    mainWindow.show();
    const MainWindowPresence presence(&mainWindow);
    const TrayBalloons balloons;
    auto profile = std::make_unique<Profile>(WritableStorage::settle(), balloons, presence, ProxyInUse {});
    EndlessDownload server;

    std::vector<QString> gone;
    const auto record = [&gone](QObject* object, const QString& name) {
        QObject::connect(object, &QObject::destroyed, [&gone, name] { gone.push_back(name); });
    };
    QPointer<QWebEngineDownloadRequest> request;
    QObject::connect(profile->engineProfile(), &QWebEngineProfile::downloadRequested,
        [&request](QWebEngineDownloadRequest* asked) { request = asked; });
    QPointer<DownloadQuestion> question;
    QObject::connect(&profile->downloads(), &Downloads::questionShown,
        [&question](DownloadQuestion* shown) { question = shown; });

    BrowserWindow* window = profile->pages().openWindow();
    window->show();
    window->page()->download(server.url());
    ASSERT_TRUE(waitUntil([&] { return question && request && request->receivedBytes() > 0; }));
    ASSERT_EQ(request->state(), QWebEngineDownloadRequest::DownloadInProgress);
    ASSERT_TRUE(question->isVisible());

    record(window->page(), QStringLiteral("link window's page"));
    record(question, QStringLiteral("download question"));
    record(&profile->downloads(), QStringLiteral("downloads"));
    record(profile->engineProfile(), QStringLiteral("engine profile"));
    profile.reset();

    const std::vector<QString> expected { QStringLiteral("link window's page"),
        QStringLiteral("download question"), QStringLiteral("downloads"), QStringLiteral("engine profile") };
    EXPECT_EQ(gone, expected);
    EXPECT_TRUE(test::browserWindows().isEmpty());
}

} // namespace
} // namespace qz
