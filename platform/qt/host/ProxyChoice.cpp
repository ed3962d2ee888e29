#include "ProxyChoice.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include <QByteArray>

#include "EngineFlags.h"
#include "GnomeProxySettings.h"

namespace qz {

namespace {
using Source = ProxyInUse::Source;

constexpr char kEngineFlags[] = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr std::array<std::string_view, 4> kProxySwitches { "--proxy-server", "--proxy-pac-url",
    "--proxy-auto-detect", "--no-proxy-server" };
// The desktops whose settings panels write org.gnome.system.proxy, as XDG_CURRENT_DESKTOP names them.
constexpr std::array<std::string_view, 11> kGnomeFamily { "gnome", "ukui", "deepin", "dde", "cinnamon",
    "x-cinnamon", "mate", "budgie", "unity", "pantheon", "gnome-classic" };
// The engine's own proxy variables, in the order it prefers them.
constexpr std::array<std::string_view, 6> kProxyVariables { "all_proxy", "ALL_PROXY", "http_proxy",
    "HTTP_PROXY", "https_proxy", "HTTPS_PROXY" };

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::vector<std::string> desktops(const std::string& current) {
    std::vector<std::string> names;
    std::istringstream parts(current);
    for (std::string name; std::getline(parts, name, ':');)
        if (!name.empty())
            names.push_back(lowered(name));
    return names;
}

bool anyOf(const std::vector<std::string>& names, auto&& known) {
    return std::any_of(names.begin(), names.end(), [&known](const std::string& name) {
        return std::find(std::begin(known), std::end(known), name) != std::end(known);
    });
}

// The engine splits its flags at blanks: a value with one cannot be passed.
bool passable(const std::string& value) {
    return !value.empty() && value.find_first_of(" \t\n") == std::string::npos;
}

std::string hostPort(const GnomeProxy::Server& server) {
    return server.port > 0 ? server.host + ":" + std::to_string(server.port) : server.host;
}

// As "http=proxy:3128;https=proxy:3128;socks=socks5://proxy:1080", the engine's rules; a SOCKS proxy
// alone serves every address.
std::string proxyRules(const GnomeProxy& settings) {
    std::vector<std::string> rules;
    if (passable(settings.http.host))
        rules.push_back("http=" + hostPort(settings.http));
    if (passable(settings.https.host))
        rules.push_back("https=" + hostPort(settings.https));
    if (passable(settings.socks.host)) {
        const std::string socks = "socks5://" + hostPort(settings.socks);
        rules.push_back(rules.empty() ? socks : "socks=" + socks);
    }
    std::string joined;
    for (const std::string& rule : rules)
        joined += (joined.empty() ? "" : ";") + rule;
    return joined;
}

// The engine takes a script at an http address itself; a local one is handed over as its text,
// since the engine no longer fetches file: scripts.
ProxyChoice::Choice scriptChoice(const std::string& url, const ProxyChoice::Machine& machine) {
    ProxyChoice::Choice choice { { Source::Script, url, "GNOME" }, {}, {} };
    if (url.starts_with("file://")) {
        const std::optional<std::string> text = machine.fileText(url.substr(7));
        if (!text) {
            choice.problem
                = "the automatic proxy configuration script " + url + " cannot be read; going direct";
            choice.inUse = { Source::Direct, {}, {} };
            return choice;
        }
        choice.flags.push_back("--proxy-pac-url=data:application/x-ns-proxy-autoconfig;base64,"
            + QByteArray::fromStdString(*text).toBase64().toStdString());
        return choice;
    }
    if (!passable(url)) {
        choice.problem = "the automatic proxy configuration script's address cannot be used: " + url;
        choice.inUse = { Source::Direct, {}, {} };
        return choice;
    }
    choice.flags.push_back("--proxy-pac-url=" + url);
    return choice;
}

std::optional<ProxyChoice::Choice> gnomeChoice(
    const GnomeProxy& settings, const ProxyChoice::Machine& machine) {
    if (settings.mode == "auto") {
        if (settings.autoconfigUrl.empty())
            return ProxyChoice::Choice { { Source::Script, {}, "GNOME" }, { "--proxy-auto-detect" }, {} };
        return scriptChoice(settings.autoconfigUrl, machine);
    }
    const std::string rules = settings.mode == "manual" ? proxyRules(settings) : std::string();
    if (rules.empty())
        return std::nullopt;
    const GnomeProxy::Server& named = passable(settings.http.host) ? settings.http
        : passable(settings.https.host)                            ? settings.https
                                                                   : settings.socks;
    ProxyChoice::Choice choice { { Source::Desktop, hostPort(named), "GNOME" }, { "--proxy-server=" + rules },
        {} };
    std::string bypass;
    for (const std::string& host : settings.ignoreHosts)
        if (passable(host))
            bypass += (bypass.empty() ? "" : ";") + host;
    if (!bypass.empty())
        choice.flags.push_back("--proxy-bypass-list=" + bypass);
    return choice;
}

// What the dialog shows of a proxy variable: its host and port, never a password in it.
std::string shownProxy(std::string value) {
    if (const auto scheme = value.find("://"); scheme != std::string::npos)
        value.erase(0, scheme + 3);
    if (const auto user = value.rfind('@'); user != std::string::npos)
        value.erase(0, user + 1);
    if (const auto path = value.find('/'); path != std::string::npos)
        value.erase(path);
    return value;
}
} // namespace

ProxyChoice::Machine ProxyChoice::thisMachine() {
    return Machine {
        [](std::string_view name) -> std::optional<std::string> {
            const char* value = std::getenv(std::string(name).c_str());
            return value ? std::optional<std::string>(value) : std::nullopt;
        },
        readGnomeProxySettings,
        [](const std::string& path) -> std::optional<std::string> {
            std::ifstream file(path, std::ios::binary);
            if (!file)
                return std::nullopt;
            return std::string(std::istreambuf_iterator<char>(file), {});
        },
    };
}

ProxyChoice::Choice ProxyChoice::choose(const Machine& machine) {
    const std::string flags = machine.variable(kEngineFlags).value_or("");
    for (const std::string_view name : kProxySwitches)
        if (const std::string own = engineFlagNamed(flags, name); !own.empty())
            return Choice { { Source::Environment, own, kEngineFlags }, {}, {} };

    const std::vector<std::string> current = desktops(machine.variable("XDG_CURRENT_DESKTOP").value_or(""));
    if (anyOf(current, std::array<std::string_view, 1> { "kde" }))
        return Choice { { Source::Desktop, {}, "KDE" }, {}, {} };
    if (current.empty() || anyOf(current, kGnomeFamily)) {
        if (const std::optional<GnomeProxy> settings = machine.gnomeSettings())
            if (std::optional<Choice> choice = gnomeChoice(*settings, machine))
                return *choice;
    }

    for (const std::string_view name : kProxyVariables)
        if (const std::optional<std::string> value = machine.variable(name); value && !value->empty())
            return Choice { { Source::Environment, shownProxy(*value), std::string(name) }, {}, {} };
    return Choice {};
}

ProxyInUse ProxyChoice::settle() {
    const Machine machine = thisMachine();
    const Choice choice = choose(machine);
    if (!choice.flags.empty()) {
        std::string flags = machine.variable(kEngineFlags).value_or("");
        for (const std::string& flag : choice.flags)
            flags = withEngineFlag(flags, flag);
        ::setenv(kEngineFlags, flags.c_str(), 1);
    }
    if (!choice.problem.empty())
        std::fprintf(stderr, "qz-shell proxy: %s\n", choice.problem.c_str());
    return choice.inUse;
}

} // namespace qz
