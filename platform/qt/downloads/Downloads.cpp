#include "Downloads.h"

#include <cerrno>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include "DownloadMove.h"
#include "DownloadNames.h"
#include "DownloadRow.h"
#include "DownloadText.h"
#include "DownloadsWindow.h"
#include "platform/qt/WindowPresence.h"
#include "platform/qt/page/PageInput.h"
#include "platform/qt/tray/TrayBalloons.h"

namespace qz {

namespace {
// A name this short that is still too long: it is the folder's path that is, and no name helps.
constexpr int kShortestName = 8;

// An interrupted download is not finished to the engine, which may try to resume it; to the user it
// has ended, and it is dropped.
bool hasEnded(const QWebEngineDownloadRequest& request) {
    return request.isFinished() || request.state() == QWebEngineDownloadRequest::DownloadInterrupted;
}

QString incomingPath(const QWebEngineDownloadRequest& request) {
    return QDir(request.downloadDirectory()).filePath(request.downloadFileName());
}

// Where a finished file the downloads folder refused stays: in the shell's data, which lasts, not in
// its cache, which the desktop's cleaners empty, nor in the folder downloads come in to, which goes on
// exit. Usually on the file system of that folder (both in the user's home), so that it is a rename.
QString keptFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("未保存的下载"));
}
} // namespace

Downloads::Downloads(QWebEngineProfile* profile, PageInput& input, const TrayBalloons& balloons,
    const WindowPresence& mainWindow)
    : m_balloons(balloons)
    , m_mainWindow(mainWindow) {
    connect(profile, &QWebEngineProfile::downloadRequested, this, &Downloads::handle);
    connect(&input, &PageInput::userInput, this, [this](QWebEnginePage* page) { m_quiet.remove(page); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Downloads::quit);
}

Downloads::~Downloads() {
    quit();
    // Downloads still coming in end here, before their folder goes with this object; nothing is
    // asked or shown.
    for (QWebEngineDownloadRequest* request : m_downloads.keys())
        if (!request->isFinished())
            request->cancel();
}

QString Downloads::folder() {
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QDir().mkpath(downloads))
        return downloads;
    return QDir::homePath();
}

QString Downloads::freePath(const QString& folder, const QString& fileName, int maxBytes) {
    const QDir dir(folder);
    QString path = dir.filePath(DownloadNames::fitted(fileName, maxBytes));
    for (int number = 1; QFileInfo::exists(path); ++number) {
        // The number always shows: the base gives way to it.
        const int numberBytes = static_cast<int>(QStringLiteral(" (%1)").arg(number).toUtf8().size());
        path = dir.filePath(
            DownloadNames::numbered(DownloadNames::fitted(fileName, maxBytes - numberBytes), number));
    }
    return path;
}

void Downloads::handle(QWebEngineDownloadRequest* request) {
    // A request nobody accepts is dropped by the engine, nothing written.
    if (m_quitting)
        return;
    if (resumesBroken(*request))
        return;
    QWebEnginePage* page = request->isSavePageDownload() ? nullptr : request->page();
    if (page && m_quiet.contains(page))
        return;
    if (!m_incoming) {
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        QDir().mkpath(cache);
        m_incoming
            = std::make_unique<QTemporaryDir>(QDir(cache).filePath(QStringLiteral("downloads-XXXXXX")));
    }
    if (!m_incoming->isValid())
        return;
    const QString name = DownloadNames::cleaned(request->suggestedFileName());
    request->setDownloadDirectory(m_incoming->path());
    request->setDownloadFileName(QString::number(request->id()));
    const auto concludeOnEnd = [this, request] {
        if (hasEnded(*request))
            conclude(request);
    };
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, concludeOnEnd);
    connect(request, &QWebEngineDownloadRequest::stateChanged, this, concludeOnEnd);
    request->accept();

    auto* question = new DownloadQuestion(name, request->totalBytes(), DownloadText::site(*request));
    m_downloads.insert(request, Download { name, page, question });
    if (page)
        quiet(page);
    connect(request, &QWebEngineDownloadRequest::totalBytesChanged, question,
        [question, request] { question->setSize(request->totalBytes()); });
    connect(question, &DownloadQuestion::answered, this,
        [this, request](DownloadAnswer choice) { answer(request, choice); });
    question->show();
    emit questionShown(question);
}

bool Downloads::resumesBroken(const QWebEngineDownloadRequest& request) {
    for (auto it = m_downloads.begin(); it != m_downloads.end(); ++it) {
        if (it.key()->id() != request.id())
            continue;
        // Not resumed: the file would start again from nothing, under the user's eyes.
        it->broken = true;
        if (it->saved)
            conclude(it.key());
        return true;
    }
    return false;
}

void Downloads::answer(QWebEngineDownloadRequest* request, DownloadAnswer answer) {
    const auto found = m_downloads.find(request);
    if (found == m_downloads.end() || m_quitting)
        return;
    Download& download = *found;
    if (answer == DownloadAnswer::Cancel) {
        // The page stays quiet until the user acts in it.
        m_downloads.erase(found);
        if (!request->isFinished())
            request->cancel();
        QFile::remove(incomingPath(*request));
        return;
    }
    if (download.page)
        m_quiet.remove(download.page.get());
    download.saved = true;
    download.openWhenDone = answer == DownloadAnswer::Open;
    if (!m_window)
        m_window = std::make_unique<DownloadsWindow>();
    download.row = m_window->add(request, download.name);
    if (download.broken || hasEnded(*request))
        conclude(request);
}

void Downloads::conclude(QWebEngineDownloadRequest* request) {
    const auto found = m_downloads.find(request);
    // Not answered yet: the question decides what becomes of it.
    if (found == m_downloads.end() || !found->saved)
        return;
    const Download download = *found;
    m_downloads.erase(found);
    const QString incoming = incomingPath(*request);
    const QWebEngineDownloadRequest::DownloadState state
        = download.broken ? QWebEngineDownloadRequest::DownloadInterrupted : request->state();
    if (!request->isFinished())
        request->cancel();
    // On the way out nothing is shown.
    if (m_quitting) {
        QFile::remove(incoming);
        return;
    }
    if (state == QWebEngineDownloadRequest::DownloadCompleted) {
        const Moved moved = moveIntoFolder(incoming, folder(), download.name);
        if (moved.path.isEmpty()) {
            keep(download, incoming, moved.error);
            return;
        }
        download.row->showCompleted(moved.path);
        if (download.openWhenDone)
            QDesktopServices::openUrl(QUrl::fromLocalFile(moved.path));
        tellIfHidden(QStringLiteral("下载完成"), QFileInfo(moved.path).fileName());
        emit finished(moved.path, true);
        return;
    }
    QFile::remove(incoming);
    if (state == QWebEngineDownloadRequest::DownloadCancelled) {
        download.row->showCancelled();
        emit finished(QDir(folder()).filePath(download.name), false);
        return;
    }
    const auto interruption
        = download.broken ? QWebEngineDownloadRequest::NetworkFailed : request->interruptReason();
    const QString reason = DownloadText::failure(interruption);
    download.row->showFailure(reason);
    tellIfHidden(QStringLiteral("下载失败"), QStringLiteral("%1：%2").arg(download.name, reason));
    emit finished(QDir(folder()).filePath(download.name), false);
}

void Downloads::keep(const Download& download, const QString& incoming, int refusal) {
    QDir().mkpath(keptFolder());
    QString path = moveIntoFolder(incoming, keptFolder(), download.name).path;
    if (path.isEmpty()) {
        // Nothing lasting takes it either: it stays where it came in, and so does that folder.
        m_incoming->setAutoRemove(false);
        path = incoming;
    }
    const QString where = QStringLiteral("无法保存到下载文件夹（%1），文件保留在：%2")
                              .arg(DownloadText::refusal(refusal), QDir::toNativeSeparators(path));
    download.row->showKept(path, folder(), where);
    if (download.openWhenDone)
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    tellIfHidden(QStringLiteral("下载的文件已保留"), QStringLiteral("%1：%2").arg(download.name, where));
    emit finished(QDir(folder()).filePath(download.name), false);
}

Downloads::Moved Downloads::moveIntoFolder(const QString& from, const QString& folder, const QString& name) {
    QString taken;
    for (int maxBytes = DownloadNames::kMaxBytes;;) {
        const QString path = freePath(folder, name, maxBytes);
        const int error = DownloadMove::toNewFile(from, path);
        if (error == 0)
            return { path, 0 };
        // Taken meanwhile: the next free name. Twice the same is a name only the move sees (a
        // dangling link, say), which the next look would give again.
        if (error == EEXIST && path != taken) {
            taken = path;
            continue;
        }
        const int bytes = static_cast<int>(QFileInfo(path).fileName().toUtf8().size());
        if (error != ENAMETOOLONG || bytes <= kShortestName)
            return { QString(), error };
        // The file system takes fewer bytes than that: shorter, by whole characters.
        maxBytes = bytes - 1;
    }
}

void Downloads::quiet(QWebEnginePage* page) {
    if (m_quiet.contains(page))
        return;
    m_quiet.insert(page);
    connect(page, &QObject::destroyed, this, [this, page] { m_quiet.remove(page); });
}

void Downloads::tellIfHidden(const QString& title, const QString& text) {
    if (m_mainWindow.shown())
        return;
    m_balloons.show(title, text, [window = QPointer<DownloadsWindow>(m_window.get())] {
        if (window)
            window->bringUp();
    });
}

void Downloads::quit() {
    m_quitting = true;
    for (const Download& download : std::as_const(m_downloads))
        delete download.question.get();
    m_window.reset();
}

} // namespace qz
