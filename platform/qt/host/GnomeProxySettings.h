#pragma once

#include <optional>

namespace qz {

struct GnomeProxy;

// org.gnome.system.proxy and its http, https and socks children as GSettings reads them (from dconf
// on these desktops), or nothing where there is no session bus, no user settings database or no such
// schema: the keys are then their defaults, which set no proxy. Reading opens the database file;
// it starts no service.
std::optional<GnomeProxy> readGnomeProxySettings();

} // namespace qz
