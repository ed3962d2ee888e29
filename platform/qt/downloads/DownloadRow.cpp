#include "DownloadRow.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "DownloadMove.h"
#include "DownloadText.h"

namespace qz {

namespace {
constexpr int kSampleMs = 1000;

QLabel* plainLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}
} // namespace

DownloadRow::DownloadRow(QWebEngineDownloadRequest* request, const QString& fileName, QWidget* parent)
    : QWidget(parent)
    , m_request(request)
    , m_name(plainLabel(this))
    , m_progress(new QProgressBar(this))
    , m_status(plainLabel(this))
    , m_cancel(new QPushButton(QStringLiteral("取消"), this))
    , m_saveAs(new QPushButton(QStringLiteral("另存为…"), this))
    , m_openFile(new QPushButton(QStringLiteral("打开文件"), this))
    , m_openFolder(new QPushButton(QStringLiteral("打开所在文件夹"), this))
    , m_fileName(fileName) {
    m_name->setText(fileName);
    // The buttons' words repeat in every row; a screen reader names the file with them.
    setAccessibleName(fileName);
    m_progress->setAccessibleName(QStringLiteral("%1 的下载进度").arg(fileName));
    m_cancel->setAccessibleName(QStringLiteral("取消下载 %1").arg(fileName));
    m_saveAs->setAccessibleName(QStringLiteral("将 %1 另存为…").arg(fileName));
    m_openFile->setAccessibleName(QStringLiteral("打开文件 %1").arg(fileName));
    m_openFolder->setAccessibleName(QStringLiteral("打开 %1 所在的文件夹").arg(fileName));
    // A kept file's path is long and worth copying.
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* text = new QVBoxLayout;
    text->addWidget(m_name);
    text->addWidget(m_progress);
    text->addWidget(m_status);
    auto* row = new QHBoxLayout(this);
    row->addLayout(text, 1);
    row->addWidget(m_cancel);
    row->addWidget(m_saveAs);
    row->addWidget(m_openFile);
    row->addWidget(m_openFolder);
    m_saveAs->hide();
    m_openFile->hide();
    m_openFolder->hide();

    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_request)
            m_request->cancel();
    });
    connect(m_openFile, &QPushButton::clicked, this,
        [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(m_path)); });
    connect(m_saveAs, &QPushButton::clicked, this, &DownloadRow::saveAs);
    connect(m_openFolder, &QPushButton::clicked, this,
        [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(m_path).absolutePath())); });
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, &DownloadRow::updateProgress);
    connect(request, &QWebEngineDownloadRequest::totalBytesChanged, this, &DownloadRow::updateProgress);
    connect(&m_sampler, &QTimer::timeout, this, &DownloadRow::sampleSpeed);
    m_sampler.start(kSampleMs);
    m_sinceSample.start();
    m_sampledBytes = request->receivedBytes();
    updateProgress();
}

void DownloadRow::takeFocus() {
    // The newest download takes the keyboard: space cancels it while it runs.
    (m_cancel->isVisibleTo(this) ? m_cancel : m_openFile)->setFocus();
}

void DownloadRow::sampleSpeed() {
    if (!m_request)
        return;
    const qint64 received = m_request->receivedBytes();
    const double seconds = static_cast<double>(m_sinceSample.restart()) / 1000;
    const double now = seconds > 0 ? static_cast<double>(received - m_sampledBytes) / seconds : 0;
    // Smoothed, so that the time left does not jump with every uneven second.
    m_bytesPerSecond = m_bytesPerSecond > 0 ? 0.7 * m_bytesPerSecond + 0.3 * now : now;
    m_sampledBytes = received;
    updateProgress();
}

void DownloadRow::updateProgress() {
    if (!m_request || m_request->isFinished() || !m_sampler.isActive())
        return;
    const qint64 received = m_request->receivedBytes();
    const qint64 total = m_request->totalBytes();
    if (total > 0) {
        m_progress->setRange(0, 1000);
        m_progress->setValue(static_cast<int>(received * 1000 / total));
    } else {
        m_progress->setRange(0, 0); // a size the server did not give: busy
    }
    QString status = QStringLiteral("%1 / %2").arg(DownloadText::size(received), DownloadText::size(total));
    if (m_bytesPerSecond >= 1) {
        status += QStringLiteral("，%1/秒").arg(DownloadText::size(static_cast<qint64>(m_bytesPerSecond)));
        if (total > 0)
            status += QStringLiteral("，剩余 %1")
                          .arg(DownloadText::duration(
                              static_cast<qint64>(static_cast<double>(total - received) / m_bytesPerSecond)));
    }
    m_status->setText(status);
}

void DownloadRow::end() {
    m_sampler.stop();
    m_cancel->hide();
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
}

void DownloadRow::showCompleted(const QString& path) {
    end();
    m_path = path;
    m_progress->setValue(1);
    m_status->setText(QStringLiteral("已完成：%1").arg(DownloadText::size(QFileInfo(path).size())));
    m_saveAs->hide();
    m_openFile->show();
    m_openFolder->show();
}

void DownloadRow::showKept(const QString& path, const QString& folder, const QString& where) {
    // The keyboard that could cancel the download goes on to what saves it.
    const bool focused = window()->focusWidget() == m_cancel;
    end();
    m_path = path;
    m_folder = folder;
    m_progress->setValue(1);
    m_status->setText(where);
    m_saveAs->show();
    m_openFolder->show();
    if (focused)
        m_saveAs->setFocus();
}

void DownloadRow::saveAs() {
    if (m_saveDialog) {
        m_saveDialog->raise();
        m_saveDialog->activateWindow();
        return;
    }
    // Not blocking: the other downloads go on meanwhile. The dialog asks before replacing a file.
    m_saveDialog = new QFileDialog(window(), QStringLiteral("另存为"), m_folder);
    m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
    m_saveDialog->selectFile(m_fileName);
    m_saveDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_saveDialog, &QFileDialog::fileSelected, this, &DownloadRow::saveTo);
    m_saveDialog->open();
}

void DownloadRow::saveTo(const QString& chosen) {
    const int error = QFileInfo::exists(chosen) ? DownloadMove::replacing(m_path, chosen)
                                                : DownloadMove::toNewFile(m_path, chosen);
    if (error == 0) {
        showCompleted(chosen);
        return;
    }
    const QString text = QStringLiteral("无法另存为 %1（%2），文件仍保留在：%3");
    m_status->setText(text.arg(
        QDir::toNativeSeparators(chosen), DownloadText::refusal(error), QDir::toNativeSeparators(m_path)));
}

void DownloadRow::showCancelled() {
    end();
    m_status->setText(QStringLiteral("已取消"));
}

void DownloadRow::showFailure(const QString& reason) {
    end();
    m_status->setText(QStringLiteral("下载失败：%1").arg(reason));
}

} // namespace qz
