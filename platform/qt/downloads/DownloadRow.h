#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qz {

// One download in the downloads window: its name, progress, speed and time left, 取消 while it runs,
// 打开文件 and 打开所在文件夹 once it is done.
class DownloadRow final : public QWidget {
    Q_OBJECT
public:
    DownloadRow(QWebEngineDownloadRequest* request, const QString& fileName, QWidget* parent);

    void takeFocus();
    // The end of the download: saved at path, dropped, or failed for that reason.
    void showCompleted(const QString& path);
    void showCancelled();
    void showFailure(const QString& reason);

private:
    void updateProgress();
    void sampleSpeed();
    void end();

    QPointer<QWebEngineDownloadRequest> m_request;
    QLabel* m_name;
    QProgressBar* m_progress;
    QLabel* m_status;
    QPushButton* m_cancel;
    QPushButton* m_openFile;
    QPushButton* m_openFolder;
    QString m_path;
    QTimer m_sampler;
    QElapsedTimer m_sinceSample;
    qint64 m_sampledBytes = 0;
    double m_bytesPerSecond = 0;
};

} // namespace qz
