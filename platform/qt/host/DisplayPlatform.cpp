#include "DisplayPlatform.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace qz {

namespace {
bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

bool isWaylandSession() {
    const char* session = std::getenv("XDG_SESSION_TYPE");
    return isSet("WAYLAND_DISPLAY") || (session && std::string_view(session) == "wayland");
}

bool userChosePlatform(int argc, char** argv) {
    if (isSet("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "-platform" || argument == "--platform")
            return true;
    }
    return false;
}
} // namespace

void chooseDisplayPlatform(int& argc, char**& argv) {
    if (!isWaylandSession() || userChosePlatform(argc, argv))
        return;
    if (!isSet("DISPLAY")) {
        std::fputs("qz-shell: this Wayland session has no X server; the window cannot place itself and is "
                   "not centred\n",
            stderr);
        return;
    }
    // The arguments outlive the application object, which keeps them; the environment stays as it
    // was, so that programs the shell starts choose for themselves.
    static char option[] = "-platform";
    static char x11[] = "xcb";
    static std::vector<char*> arguments;
    arguments.assign(argv, argv + argc);
    arguments.insert(arguments.begin() + (argc > 0 ? 1 : 0), { option, x11 });
    arguments.push_back(nullptr);
    argc = static_cast<int>(arguments.size()) - 1;
    argv = arguments.data();
}

} // namespace qz
