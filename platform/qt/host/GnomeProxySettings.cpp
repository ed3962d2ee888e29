// GLib's headers go alone here: the toolkit's keywords (signals, slots) would clash with them.
#include "GnomeProxySettings.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include <gio/gio.h>

#include "ProxyChoice.h"

namespace qz {

namespace {
constexpr char kSchema[] = "org.gnome.system.proxy";

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using Settings = std::unique_ptr<GSettings, Unref>;

// Without a session bus GLib would try to start one to watch the keys; without a user database every
// key has its default value.
bool worthReading() {
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code error;
    const bool busThere = (bus && *bus)
        || (runtime && *runtime && std::filesystem::exists(std::filesystem::path(runtime) / "bus", error));
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::filesystem::path folder = config && *config ? std::filesystem::path(config)
        : home && *home                                    ? std::filesystem::path(home) / ".config"
                                                           : std::filesystem::path();
    return busThere && !folder.empty() && std::filesystem::exists(folder / "dconf" / "user", error);
}

std::string text(GSettings* settings, const char* key) {
    gchar* value = g_settings_get_string(settings, key);
    std::string copied = value ? value : "";
    g_free(value);
    return copied;
}

GnomeProxy::Server server(GSettings* parent, const char* child) {
    const Settings settings(g_settings_get_child(parent, child));
    return GnomeProxy::Server { text(settings.get(), "host"), g_settings_get_int(settings.get(), "port") };
}
} // namespace

std::optional<GnomeProxy> readGnomeProxySettings() {
    if (!worthReading())
        return std::nullopt;
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema = source ? g_settings_schema_source_lookup(source, kSchema, TRUE) : nullptr;
    if (!schema)
        return std::nullopt;
    const Settings settings(g_settings_new_full(schema, nullptr, nullptr));
    g_settings_schema_unref(schema);

    GnomeProxy proxy;
    proxy.mode = text(settings.get(), "mode");
    proxy.autoconfigUrl = text(settings.get(), "autoconfig-url");
    proxy.http = server(settings.get(), "http");
    proxy.https = server(settings.get(), "https");
    proxy.socks = server(settings.get(), "socks");
    gchar** ignored = g_settings_get_strv(settings.get(), "ignore-hosts");
    for (gchar** host = ignored; host && *host; ++host)
        proxy.ignoreHosts.emplace_back(*host);
    g_strfreev(ignored);
    return proxy;
}

} // namespace qz
