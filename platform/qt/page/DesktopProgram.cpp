// GLib's headers go alone here: the toolkit's keywords (signals, slots) would clash with them.
#include "DesktopProgram.h"

#include <memory>

#include <gio/gio.h>

namespace qz {

std::string desktopProgramFor(const std::string& scheme) {
    // GIO reads the desktop's choice from the same mimeapps lists that xdg-open follows.
    const std::unique_ptr<GAppInfo, void (*)(gpointer)> program(
        g_app_info_get_default_for_uri_scheme(scheme.c_str()), g_object_unref);
    if (!program)
        return {};
    const char* name = g_app_info_get_display_name(program.get());
    return name ? std::string(name) : std::string();
}

} // namespace qz
