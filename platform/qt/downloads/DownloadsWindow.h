#pragma once

#include <QWidget>

class QVBoxLayout;
class QWebEngineDownloadRequest;

namespace qz {

class DownloadRow;

// The one downloads window (下载): every download of this run, the newest on top. Closing it only
// hides it; it comes back with the next download.
class DownloadsWindow final : public QWidget {
    Q_OBJECT
public:
    DownloadsWindow();

    // Adds the download's row and brings the window up.
    DownloadRow* add(QWebEngineDownloadRequest* request, const QString& fileName);
    void bringUp();

private:
    QVBoxLayout* m_rows;
};

} // namespace qz
