#include "DownloadText.h"

#include <cerrno>

#include <QUrl>
#include <QWebEnginePage>

namespace qz::DownloadText {

QString size(qint64 bytes) {
    if (bytes < 0)
        return QStringLiteral("未知");
    if (bytes < 1024)
        return QStringLiteral("%1 字节").arg(bytes);
    static const char* const units[] = { "KB", "MB", "GB", "TB" };
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    for (; value >= 1024 && unit < 3; ++unit)
        value /= 1024;
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

QString duration(qint64 seconds) {
    if (seconds < 60)
        return QStringLiteral("%1 秒").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 分 %2 秒").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("%1 小时 %2 分").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

QString failure(QWebEngineDownloadRequest::DownloadInterruptReason reason) {
    using Reason = QWebEngineDownloadRequest::DownloadInterruptReason;
    switch (reason) {
    case Reason::FileAccessDenied:
        return QStringLiteral("没有写入下载文件夹的权限");
    case Reason::FileNoSpace:
        return QStringLiteral("磁盘空间不足");
    case Reason::FileNameTooLong:
        return QStringLiteral("文件名太长");
    case Reason::FileTooLarge:
        return QStringLiteral("文件太大");
    case Reason::FileVirusInfected:
    case Reason::FileBlocked:
    case Reason::FileSecurityCheckFailed:
        return QStringLiteral("文件被系统拦截");
    case Reason::FileFailed:
    case Reason::FileTransientError:
    case Reason::FileTooShort:
    case Reason::FileHashMismatch:
        return QStringLiteral("无法写入文件");
    case Reason::NetworkFailed:
    case Reason::NetworkTimeout:
    case Reason::NetworkDisconnected:
    case Reason::NetworkServerDown:
    case Reason::NetworkInvalidRequest:
        return QStringLiteral("网络连接中断");
    case Reason::ServerFailed:
    case Reason::ServerBadContent:
    case Reason::ServerUnauthorized:
    case Reason::ServerCertProblem:
    case Reason::ServerForbidden:
    case Reason::ServerUnreachable:
        return QStringLiteral("服务器没有给出文件");
    case Reason::UserCanceled:
        return QStringLiteral("已取消");
    default:
        return QStringLiteral("下载未完成");
    }
}

QString refusal(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入权限");
    case EROFS:
        return QStringLiteral("文件夹是只读的");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("文件夹不存在");
    case ENAMETOOLONG:
        return QStringLiteral("文件名太长");
    default:
        return QStringLiteral("无法写入");
    }
}

QString site(const QWebEngineDownloadRequest& request) {
    QUrl address = request.url();
    if (address.host().isEmpty() && request.page())
        address = request.page()->url();
    if (address.host().isEmpty())
        return QStringLiteral("本机");
    const int port = address.port();
    return port < 0 ? address.host() : QStringLiteral("%1:%2").arg(address.host()).arg(port);
}

} // namespace qz::DownloadText
