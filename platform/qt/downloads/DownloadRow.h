#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWidget>

class QFileDialog;
class QLabel;
class QProgressBar;
class QPushButton;

namespace qz {

// One download in the downloads window: its name, progress, speed and time left, 取消 while it runs,
// 打开文件 and 打开所在文件夹 once it is done. A finished file the downloads folder did not take says
// where it is kept and offers 另存为… and 打开所在文件夹.
class DownloadRow final : public QWidget {
    Q_OBJECT
public:
    DownloadRow(QWebEngineDownloadRequest* request, const QString& fileName, QWidget* parent);

    void takeFocus();
    // The end of the download: saved at path, dropped, or failed for that reason.
    void showCompleted(const QString& path);
    void showCancelled();
    void showFailure(const QString& reason);
    // Finished, but kept at path: where says so; 另存为… starts in folder.
    void showKept(const QString& path, const QString& folder, const QString& where);

private:
    void updateProgress();
    void sampleSpeed();
    void end();
    void saveAs();
    void saveTo(const QString& chosen);

    QPointer<QWebEngineDownloadRequest> m_request;
    QLabel* m_name;
    QProgressBar* m_progress;
    QLabel* m_status;
    // In the order of the row, which is the order of the keyboard.
    QPushButton* m_cancel;
    QPushButton* m_saveAs;
    QPushButton* m_openFile;
    QPushButton* m_openFolder;
    QPointer<QFileDialog> m_saveDialog;
    QString m_fileName;
    QString m_path;
    QString m_folder;
    QTimer m_sampler;
    QElapsedTimer m_sinceSample;
    qint64 m_sampledBytes = 0;
    double m_bytesPerSecond = 0;
};

} // namespace qz
