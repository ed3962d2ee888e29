#include "Downloads.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

namespace qz {

namespace {
// The name of the file only: a suggested name never picks the folder.
QString plainName(const QString& suggested) {
    const QString name = QFileInfo(suggested).fileName();
    // A name the engine could not suggest still makes a file.
    return name.isEmpty() ? QStringLiteral("未命名下载") : name;
}

// "setup.exe" as "setup (n).exe"; a name without a base, ".config", takes the number at the end.
QString numberedName(const QString& fileName, int number) {
    const QFileInfo info(fileName);
    const QString numberText = QStringLiteral(" (%1)").arg(number);
    if (info.completeBaseName().isEmpty() || info.suffix().isEmpty())
        return fileName + numberText;
    return info.completeBaseName() + numberText + u'.' + info.suffix();
}
} // namespace

Downloads::Downloads(QWebEngineProfile* profile)
    : QObject(profile) {
    connect(profile, &QWebEngineProfile::downloadRequested, this, &Downloads::save);
}

QString Downloads::folder() {
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QDir().mkpath(downloads))
        return downloads;
    return QDir::homePath();
}

QString Downloads::freePath(const QString& folder, const QString& fileName) const {
    const QDir dir(folder);
    QString path = dir.filePath(fileName);
    for (int number = 1; QFileInfo::exists(path) || m_pending.contains(path); ++number)
        path = dir.filePath(numberedName(fileName, number));
    return path;
}

void Downloads::save(QWebEngineDownloadRequest* request) {
    const QString path = freePath(folder(), plainName(request->suggestedFileName()));
    const QFileInfo target(path);
    request->setDownloadDirectory(target.absolutePath());
    request->setDownloadFileName(target.fileName());
    m_pending.insert(path);
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, request, path] {
        if (request->isFinished())
            finish(request, path);
    });
    request->accept();
}

void Downloads::finish(QWebEngineDownloadRequest* request, const QString& path) {
    m_pending.remove(path);
    const bool succeeded = request->state() == QWebEngineDownloadRequest::DownloadCompleted;
    showNotice(path, succeeded);
    emit finished(path, succeeded);
}

void Downloads::showNotice(const QString& path, bool succeeded) {
    const QFileInfo file(path);
    const QString folderPath = QDir::toNativeSeparators(file.absolutePath());
    // Owned by no window: a download can outlast the window whose page started it.
    auto* notice
        = new QMessageBox(succeeded ? QMessageBox::Information : QMessageBox::Warning, QStringLiteral("下载"),
            succeeded ? QStringLiteral("已下载：%1").arg(file.fileName())
                      : QStringLiteral("下载失败：%1").arg(file.fileName()),
            QMessageBox::Ok);
    notice->setInformativeText(succeeded ? QStringLiteral("保存在：%1").arg(folderPath)
                                         : QStringLiteral("未能保存到：%1").arg(folderPath));
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->setWindowModality(Qt::NonModal);
    notice->show();
    emit noticeShown(notice);
}

} // namespace qz
