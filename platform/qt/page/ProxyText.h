#pragma once

#include <QString>

#include "ProxyInUse.h"

namespace qz {

// The proxy in use as the user reads it: "proxy.example.com:3128", "自动检测", "不使用代理".
QString proxyText(const ProxyInUse& proxy);
// Where it was set: "桌面设置（GNOME）", "环境变量（http_proxy）", "自动配置脚本（GNOME）", "直接连接".
QString proxySourceText(const ProxyInUse& proxy);

} // namespace qz
