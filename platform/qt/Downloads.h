#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class QMessageBox;
class QWebEngineDownloadRequest;
class QWebEngineProfile;

namespace qz {

// Saves what pages of a profile download (a portal's installer, say) into the user's downloads
// folder without asking where, and tells the user in a small notice that does not block the shell
// once each download ends. It belongs to the profile and lives as long as it does.
class Downloads final : public QObject {
    Q_OBJECT
public:
    explicit Downloads(QWebEngineProfile* profile);

    // The user's downloads folder, or the home folder where there is none; created when missing.
    static QString folder();
    // A path in folder for a file of that name which is neither on disk nor taken by a download
    // under way: "setup.exe", then "setup (1).exe", "setup (2).exe"…
    QString freePath(const QString& folder, const QString& fileName) const;

signals:
    // The download has ended; path is where it was, or was to be, saved.
    void finished(const QString& path, bool succeeded);
    // The notice is shown and deletes itself when closed.
    void noticeShown(QMessageBox* notice);

private:
    void save(QWebEngineDownloadRequest* request);
    void finish(QWebEngineDownloadRequest* request, const QString& path);
    void showNotice(const QString& path, bool succeeded);

    // Paths of the downloads under way: their files are not complete on disk yet.
    QSet<QString> m_pending;
};

} // namespace qz
