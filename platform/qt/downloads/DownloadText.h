#pragma once

#include <QString>
#include <QWebEngineDownloadRequest>

namespace qz::DownloadText {

// "512 字节", "1.5 KB", "12.3 MB"…; "未知" for a size the server did not give (negative).
QString size(qint64 bytes);
// "45 秒", "3 分 20 秒", "2 小时 5 分".
QString duration(qint64 seconds);
// Why a download stopped, in words the user knows.
QString failure(QWebEngineDownloadRequest::DownloadInterruptReason reason);
// Why a folder did not take a file (an errno), as briefly.
QString refusal(int error);
// The site a download comes from: host and port of its address, or of the page for data and blob
// addresses, which name none.
QString site(const QWebEngineDownloadRequest& request);

} // namespace qz::DownloadText
