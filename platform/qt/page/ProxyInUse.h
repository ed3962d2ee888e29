#pragma once

#include <string>

namespace qz {

// The proxy the engine loads every page through, as the shell chose it when it started; the error
// page and Internet options name it.
struct ProxyInUse {
    enum class Source {
        Direct, // no proxy anywhere: 直接连接
        Desktop, // the desktop's own proxy settings: 桌面设置
        Script, // an automatic configuration script, or its discovery: 自动配置脚本
        Environment, // http_proxy and the like, or the engine's flags: 环境变量
    };

    Source source = Source::Direct;
    // The proxy's host and port, the script's address, or empty where the engine finds it itself.
    std::string proxy;
    // Where exactly it was set: "GNOME", "KDE", "http_proxy", "QTWEBENGINE_CHROMIUM_FLAGS".
    std::string setting;
};

} // namespace qz
