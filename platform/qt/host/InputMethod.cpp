#include "InputMethod.h"

#include <cstdlib>

#include <QFileInfo>
#include <QLibraryInfo>

#include "SessionBus.h"

namespace qz {

namespace {
bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// fcitx5's own plugin comes in a package of its own, which an install without recommends lacks; fcitx5
// also answers ibus's protocol, which Qt's own plugin speaks.
bool hasFcitxPlugin() {
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath)
        + QStringLiteral("/platforminputcontexts/libfcitx5platforminputcontextplugin.so"));
}

const char* runningInputMethod(SessionBus& bus) {
    if (bus.hasOwner("org.fcitx.Fcitx5"))
        return hasFcitxPlugin() ? "fcitx" : "ibus";
    if (isSet("IBUS_ADDRESS") || bus.hasOwner("org.freedesktop.IBus")
        || bus.hasOwner("org.freedesktop.portal.IBus"))
        return "ibus";
    return nullptr;
}
} // namespace

void chooseInputMethod(SessionBus& bus) {
    if (isSet("QT_IM_MODULE"))
        return;
    if (const char* module = runningInputMethod(bus))
        setenv("QT_IM_MODULE", module, 1);
}

} // namespace qz
