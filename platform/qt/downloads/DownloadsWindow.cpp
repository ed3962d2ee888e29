#include "DownloadsWindow.h"

#include <QScrollArea>
#include <QVBoxLayout>

#include "DownloadRow.h"

namespace qz {

DownloadsWindow::DownloadsWindow()
    : m_rows(new QVBoxLayout) {
    setWindowTitle(QStringLiteral("下载"));
    setAccessibleName(windowTitle());
    auto* list = new QWidget;
    auto* listLayout = new QVBoxLayout(list);
    listLayout->addLayout(m_rows);
    listLayout->addStretch(1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(list);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    resize(560, 320);
}

DownloadRow* DownloadsWindow::add(QWebEngineDownloadRequest* request, const QString& fileName) {
    auto* row = new DownloadRow(request, fileName, nullptr);
    m_rows->insertWidget(0, row);
    bringUp();
    row->takeFocus();
    return row;
}

void DownloadsWindow::bringUp() {
    show();
    raise();
}

} // namespace qz
