#include "RenderingPath.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>
#include <xcb/xcb.h>

#include "EngineFlags.h"

namespace qz {

namespace {
constexpr char kOverride[] = "QZ_RENDERING";

// Kernel drivers that give a render node but no 3D engine: Mesa draws on them with llvmpipe.
constexpr std::array<std::string_view, 13> kDriversWithout3D { "vgem", "vkms", "qxl", "bochs", "bochs-drm",
    "cirrus", "cirrus-qemu", "ast", "mgag200", "hyperv_drm", "udl", "evdi", "simpledrm" };

// Mesa's own switches to software rendering: the variable, and the values that switch (empty: any
// value but Mesa's words for "no").
struct SoftwareSwitch {
    std::string_view variable;
    std::array<std::string_view, 3> values;
};
constexpr std::array<SoftwareSwitch, 3> kSoftwareSwitches { {
    { "LIBGL_ALWAYS_SOFTWARE", {} },
    { "GALLIUM_DRIVER", { "llvmpipe", "softpipe", "swr" } },
    { "MESA_LOADER_DRIVER_OVERRIDE", { "swrast", "kms_swrast", "llvmpipe" } },
} };

bool mesaFalse(std::string_view value) {
    constexpr std::array<std::string_view, 7> kNo { "n", "no", "0", "f", "F", "false", "FALSE" };
    return std::find(kNo.begin(), kNo.end(), value) != kNo.end();
}

std::optional<std::string> switchedToSoftware(const RenderingPath::Machine& machine) {
    for (const SoftwareSwitch& entry : kSoftwareSwitches) {
        const std::optional<std::string> value = machine.variable(entry.variable);
        if (!value)
            continue;
        const bool anyValue = entry.values[0].empty();
        const bool switches = anyValue
            ? !mesaFalse(*value)
            : std::find(entry.values.begin(), entry.values.end(), *value) != entry.values.end();
        if (switches)
            return std::string(entry.variable) + "=" + *value + " asks Mesa for software OpenGL";
    }
    return std::nullopt;
}

bool set(const std::optional<std::string>& value) {
    return value && !value->empty();
}

// Qt draws on X unless another platform is chosen; a session that offers only Wayland runs on it.
bool drawsOnX(const RenderingPath::Machine& machine) {
    const std::optional<std::string> platform = machine.variable("QT_QPA_PLATFORM");
    if (set(platform))
        return platform->starts_with("xcb");
    return set(machine.variable("DISPLAY"));
}

// A display named with a host (other than "unix") is another machine's: GL goes over the wire.
bool remoteDisplay(const RenderingPath::Machine& machine) {
    const std::string display = machine.variable("DISPLAY").value_or("");
    const std::string host = display.substr(0, display.rfind(':'));
    return display.find(':') != std::string::npos && !host.empty() && host != "unix";
}

bool drawsIn3D(const RenderingPath::RenderNode& node) {
    return node.usable
        && std::find(kDriversWithout3D.begin(), kDriversWithout3D.end(), node.driver)
        == kDriversWithout3D.end();
}

std::optional<std::string> environmentVariable(std::string_view name) {
    const char* value = std::getenv(std::string(name).c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

std::vector<RenderingPath::RenderNode> renderNodesOfThisMachine() {
    namespace fs = std::filesystem;
    std::vector<RenderingPath::RenderNode> nodes;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/dev/dri", error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with("renderD"))
            continue;
        RenderingPath::RenderNode node { name, {}, ::access(entry.path().c_str(), R_OK | W_OK) == 0 };
        const fs::path driver = fs::read_symlink("/sys/class/drm/" + name + "/device/driver", error);
        if (!error)
            node.driver = driver.filename().string();
        nodes.push_back(std::move(node));
    }
    return nodes;
}

bool xServerRendersDirectly() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    // Without an X server nothing says the GPU cannot be used: the toolkit reports that one itself.
    bool direct = true;
    if (!xcb_connection_has_error(connection)) {
        const xcb_query_extension_cookie_t dri3 = xcb_query_extension(connection, 4, "DRI3");
        const xcb_query_extension_cookie_t dri2 = xcb_query_extension(connection, 4, "DRI2");
        direct = false;
        for (const xcb_query_extension_cookie_t cookie : { dri3, dri2 }) {
            xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookie, nullptr);
            direct = direct || (reply && reply->present);
            std::free(reply);
        }
    }
    xcb_disconnect(connection);
    return direct;
}

} // namespace

RenderingPath::Machine RenderingPath::thisMachine() {
    return Machine { environmentVariable, renderNodesOfThisMachine, xServerRendersDirectly };
}

RenderingPath::Choice RenderingPath::choose(const Machine& machine) {
    const std::optional<std::string> chosen = machine.variable(kOverride);
    const bool report = chosen.has_value();
    if (chosen == "software")
        return { Path::Software, "QZ_RENDERING=software", report };
    if (chosen == "gpu")
        return { Path::Gpu, "QZ_RENDERING=gpu", report };
    // An unknown word leaves the choice to the machine, and the report says so.
    const std::string unknown = set(chosen) && chosen != "auto"
        ? "QZ_RENDERING=" + *chosen + " is not software, gpu or auto; "
        : "";

    if (const std::optional<std::string> software = switchedToSoftware(machine))
        return { Path::Software, unknown + *software, report };
    const bool onX = drawsOnX(machine);
    if (onX && remoteDisplay(machine))
        return { Path::Software, unknown + "the X display is on another machine", report };
    const std::vector<RenderNode> nodes = machine.renderNodes();
    const auto gpu = std::find_if(nodes.begin(), nodes.end(), drawsIn3D);
    if (gpu == nodes.end()) {
        const auto usable
            = std::find_if(nodes.begin(), nodes.end(), [](const RenderNode& n) { return n.usable; });
        return { Path::Software,
            unknown
                + (usable == nodes.end() ? std::string("no GPU render node this user can open")
                                         : "the GPU driver " + usable->driver + " draws no 3D"),
            report };
    }
    if (onX && !machine.displayRendersDirectly())
        return { Path::Software, unknown + "the X server offers no direct rendering (DRI3 or DRI2)", report };
    return { Path::Gpu, unknown + "GPU driver " + (gpu->driver.empty() ? gpu->name : gpu->driver), report };
}

RenderingPath::Variables RenderingPath::environmentFor(Path path, const Machine& machine) {
    if (path == Path::Gpu)
        return {};
    Variables variables;
    const std::string flags = machine.variable("QTWEBENGINE_CHROMIUM_FLAGS").value_or("");
    if (const std::string withSoftware = withEngineFlag(flags, "--disable-gpu"); withSoftware != flags)
        variables.emplace_back("QTWEBENGINE_CHROMIUM_FLAGS", withSoftware);
    if (!set(machine.variable("QT_QUICK_BACKEND")) && !set(machine.variable("QMLSCENE_DEVICE")))
        variables.emplace_back("QT_QUICK_BACKEND", "software");
    return variables;
}

RenderingPath::Path RenderingPath::settle() {
    const Machine machine = thisMachine();
    const Choice choice = choose(machine);
    for (const auto& [variable, value] : environmentFor(choice.path, machine))
        ::setenv(variable.c_str(), value.c_str(), 1);
    // Not "qz-shell:", which starts the lines that report a fault.
    if (choice.report)
        std::fprintf(stderr, "qz-shell rendering: %s (%s)\n", name(choice.path), choice.reason.c_str());
    return choice.path;
}

} // namespace qz
