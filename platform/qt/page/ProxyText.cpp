#include "ProxyText.h"

namespace qz {

QString proxyText(const ProxyInUse& proxy) {
    using Source = ProxyInUse::Source;
    if (!proxy.proxy.empty())
        return QString::fromStdString(proxy.proxy);
    switch (proxy.source) {
    case Source::Direct:
        return QStringLiteral("不使用代理");
    case Source::Script:
        return QStringLiteral("自动检测");
    case Source::Desktop:
    case Source::Environment:
        break;
    }
    return QStringLiteral("由%1的设置决定").arg(QString::fromStdString(proxy.setting));
}

QString proxySourceText(const ProxyInUse& proxy) {
    using Source = ProxyInUse::Source;
    QString source;
    switch (proxy.source) {
    case Source::Direct:
        return QStringLiteral("直接连接");
    case Source::Desktop:
        source = QStringLiteral("桌面设置");
        break;
    case Source::Script:
        source = QStringLiteral("自动配置脚本");
        break;
    case Source::Environment:
        source = QStringLiteral("环境变量");
        break;
    }
    return proxy.setting.empty()
        ? source
        : QStringLiteral("%1（%2）").arg(source, QString::fromStdString(proxy.setting));
}

} // namespace qz
