#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qt/page/ProxyInUse.h"

namespace qz {

// The proxy settings of the GNOME family of desktops (org.gnome.system.proxy), which GNOME's
// settings, UKUI's and deepin's control centres, Cinnamon and MATE write.
struct GnomeProxy {
    struct Server {
        std::string host;
        int port = 0;
    };
    std::string mode; // "none", "manual" or "auto"
    std::string autoconfigUrl; // with "auto"; empty: find the script on the network
    Server http;
    Server https;
    Server socks;
    std::vector<std::string> ignoreHosts;
};

// Which proxy the engine loads pages through. The engine reads the environment and KDE's settings
// itself, but not the GNOME family's, where a user behind a proxy would get only error pages. So it
// is decided once, before the engine starts, as browsers read it: a proxy switch of the user's own
// in QTWEBENGINE_CHROMIUM_FLAGS; else the desktop's settings (KDE's read by the engine, the GNOME
// family's handed to it as switches); else the environment (http_proxy, https_proxy, all_proxy and
// no_proxy, which the engine reads); else none. A change takes effect from the next start.
class ProxyChoice final {
public:
    struct Machine {
        std::function<std::optional<std::string>(std::string_view name)> variable;
        // The GNOME family's settings, or nothing where they cannot be read; asked only where they
        // may count.
        std::function<std::optional<GnomeProxy>()> gnomeSettings;
        // The text of a local file, for a script at a file: address; nothing where it cannot be read.
        std::function<std::optional<std::string>(const std::string& path)> fileText;
    };

    struct Choice {
        ProxyInUse inUse;
        // The switches to add to QTWEBENGINE_CHROMIUM_FLAGS.
        std::vector<std::string> flags;
        // What cannot be followed, for one line on stderr; empty when all is well.
        std::string problem;
    };

    static Machine thisMachine();
    static Choice choose(const Machine& machine);
    // Chooses on this machine and adds the switches to the environment, where the engine reads them.
    static ProxyInUse settle();
};

} // namespace qz
