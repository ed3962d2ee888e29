#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qz {

// How the page and the window are drawn. Where OpenGL would run in software (no GPU the user can
// reach, Mesa told to use llvmpipe, an X server without direct rendering such as Xvfb or a VNC
// server), the engine's GPU work and the widget's Qt Quick scene would both run on the CPU through
// software OpenGL, several times dearer than drawing without it. There the shell renders without
// OpenGL: the engine composites in software and Qt Quick draws its software scene. Where a GPU
// driver is there, both keep the GPU. Decided once, before the application object exists, from what
// the environment, /dev/dri and sysfs say (and, only where that leaves it open, one question to the
// X server); nothing creates a GL context to find out. QZ_RENDERING=software|gpu|auto overrides it.
class RenderingPath final {
public:
    enum class Path { Gpu, Software };

    struct RenderNode {
        std::string name; // "renderD128"
        std::string driver; // the kernel driver's name ("i915", "amdgpu"); empty when unknown
        bool usable = false; // this user may open it for reading and writing
    };

    // What the choice looks at: this machine's, or a test's.
    struct Machine {
        std::function<std::optional<std::string>(std::string_view name)> variable;
        std::function<std::vector<RenderNode>()> renderNodes;
        // Whether the X server offers direct rendering (DRI3 or DRI2); asked only when nothing else
        // decided, because it costs a connection.
        std::function<bool()> displayRendersDirectly;
    };

    struct Choice {
        Path path = Path::Gpu;
        std::string reason;
        // QZ_RENDERING is set: the user wants to know what was chosen, and why.
        bool report = false;
    };

    using Variables = std::vector<std::pair<std::string, std::string>>;

    static Machine thisMachine();
    static Choice choose(const Machine& machine);
    // The variables to set for the path, keeping what the user set: the engine's flags are added
    // to, and a Qt Quick backend the user chose stays.
    static Variables environmentFor(Path path, const Machine& machine);
    // Chooses on this machine, puts the choice into the environment and reports it when asked.
    // Before the application object exists: the engine and Qt Quick read these when they start.
    static Path settle();

    static const char* name(Path path) { return path == Path::Software ? "software" : "gpu"; }
};

} // namespace qz
