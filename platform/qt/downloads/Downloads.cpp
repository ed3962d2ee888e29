#include "Downloads.h"

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

#include "DownloadNames.h"
#include "DownloadRow.h"
#include "DownloadText.h"
#include "DownloadsWindow.h"
#include "platform/qt/WindowPresence.h"
#include "platform/qt/page/PageInput.h"
#include "platform/qt/tray/TrayBalloons.h"

namespace qz {

namespace {
// Shorter than this, a name the folder still refuses is not refused for its length.
constexpr int kShortestName = 8;

// An interrupted download is not finished to the engine, which may try to resume it; to the user it
// has ended, and it is dropped.
bool hasEnded(const QWebEngineDownloadRequest& request) {
    return request.isFinished() || request.state() == QWebEngineDownloadRequest::DownloadInterrupted;
}

QString incomingPath(const QWebEngineDownloadRequest& request) {
    return QDir(request.downloadDirectory()).filePath(request.downloadFileName());
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
        const QString path = moveIntoFolder(incoming, folder(), download.name);
        if (!path.isEmpty()) {
            download.row->showCompleted(path);
            if (download.openWhenDone)
                QDesktopServices::openUrl(QUrl::fromLocalFile(path));
            tellIfHidden(QStringLiteral("下载完成"), QFileInfo(path).fileName());
            emit finished(path, true);
            return;
        }
    }
    QFile::remove(incoming);
    if (state == QWebEngineDownloadRequest::DownloadCancelled) {
        download.row->showCancelled();
        emit finished(QDir(folder()).filePath(download.name), false);
        return;
    }
    const auto interruption
        = download.broken ? QWebEngineDownloadRequest::NetworkFailed : request->interruptReason();
    const QString reason = state == QWebEngineDownloadRequest::DownloadCompleted
        ? QStringLiteral("无法保存到下载文件夹")
        : DownloadText::failure(interruption);
    download.row->showFailure(reason);
    tellIfHidden(QStringLiteral("下载失败"), QStringLiteral("%1：%2").arg(download.name, reason));
    emit finished(QDir(folder()).filePath(download.name), false);
}

QString Downloads::moveIntoFolder(const QString& from, const QString& folder, const QString& name) {
    for (int maxBytes = DownloadNames::kMaxBytes;;) {
        const QString path = freePath(folder, name, maxBytes);
        // Never over another file: a rename does not replace one.
        if (QFile::rename(from, path))
            return path;
        if (QFileInfo::exists(path))
            continue; // taken meanwhile: the next free name
        const int bytes = static_cast<int>(QFileInfo(path).fileName().toUtf8().size());
        if (bytes <= kShortestName)
            return QString();
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
