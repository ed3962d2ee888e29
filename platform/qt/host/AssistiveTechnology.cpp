#include "AssistiveTechnology.h"

#include <cstdlib>

#include "SessionBus.h"

namespace qz {

namespace {
bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}
} // namespace

void exposePageToAssistiveTechnology(SessionBus& bus) {
    if (isSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        return;
    // The same two signs that make Qt expose the widgets: nothing is asked of a desktop without them.
    const bool active = isSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON")
        || bus.anyPropertyTrue(
            "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Status", { "IsEnabled", "ScreenReaderEnabled" });
    if (active)
        setenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1", 1);
}

} // namespace qz
