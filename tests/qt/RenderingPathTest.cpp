#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/qt/host/RenderingPath.h"

namespace qz {
namespace {

using Path = RenderingPath::Path;
using Node = RenderingPath::RenderNode;

struct MachineCase {
    const char* name;
    std::map<std::string, std::string> variables;
    std::vector<Node> nodes;
    bool displayDirect;
    Path path;
    const char* reasonHas;
    bool report;
};

const Node kIntel { "renderD128", "i915", true };

RenderingPath::Machine machineOf(const MachineCase& given, int& displayQuestions) {
    return RenderingPath::Machine {
        [&given](std::string_view name) -> std::optional<std::string> {
            const auto found = given.variables.find(std::string(name));
            return found == given.variables.end() ? std::nullopt : std::optional(found->second);
        },
        [&given] { return given.nodes; },
        [&given, &displayQuestions] {
            ++displayQuestions;
            return given.displayDirect;
        },
    };
}

class RenderingPathChoice : public testing::TestWithParam<MachineCase> {};

TEST_P(RenderingPathChoice, SoftwareWhereOpenGLWouldBeSoftware) {
    int displayQuestions = 0;
    const RenderingPath::Choice choice = RenderingPath::choose(machineOf(GetParam(), displayQuestions));
    EXPECT_EQ(RenderingPath::name(choice.path), RenderingPath::name(GetParam().path));
    EXPECT_NE(choice.reason.find(GetParam().reasonHas), std::string::npos) << choice.reason;
    EXPECT_EQ(choice.report, GetParam().report);
    // The X server is asked only where nothing cheaper decided, and at most once.
    EXPECT_LE(displayQuestions, 1);
    if (choice.path == Path::Software && choice.reason.find("direct rendering") == std::string::npos) {
        EXPECT_EQ(displayQuestions, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Machines, RenderingPathChoice,
    testing::Values(MachineCase { "xvfbWithoutGpu", { { "DISPLAY", ":99" } }, {}, false, Path::Software,
                        "no GPU render node", false },
        MachineCase { "desktopWithGpu", { { "DISPLAY", ":0" } }, { kIntel }, true, Path::Gpu, "i915", false },
        MachineCase { "xvfbOnAGpuMachine", { { "DISPLAY", ":99" } }, { kIntel }, false, Path::Software,
            "no direct rendering", false },
        MachineCase { "nodeNotOpenable", { { "DISPLAY", ":0" } }, { { "renderD128", "amdgpu", false } }, true,
            Path::Software, "no GPU render node", false },
        MachineCase { "virtualCardWithout3D", { { "DISPLAY", ":0" } }, { { "renderD128", "qxl", true } },
            true, Path::Software, "qxl draws no 3D", false },
        MachineCase { "mesaForcedToSoftware", { { "DISPLAY", ":0" }, { "LIBGL_ALWAYS_SOFTWARE", "1" } },
            { kIntel }, true, Path::Software, "LIBGL_ALWAYS_SOFTWARE", false },
        MachineCase { "mesaToldNo", { { "DISPLAY", ":0" }, { "LIBGL_ALWAYS_SOFTWARE", "false" } }, { kIntel },
            true, Path::Gpu, "i915", false },
        MachineCase { "galliumLlvmpipe", { { "DISPLAY", ":0" }, { "GALLIUM_DRIVER", "llvmpipe" } },
            { kIntel }, true, Path::Software, "GALLIUM_DRIVER=llvmpipe", false },
        MachineCase { "remoteDisplay", { { "DISPLAY", "desk.example.com:10.0" } }, { kIntel }, true,
            Path::Software, "another machine", false },
        MachineCase { "waylandNeedsNoXServer", { { "WAYLAND_DISPLAY", "wayland-0" } }, { kIntel }, false,
            Path::Gpu, "i915", false },
        MachineCase { "userWantsGpu", { { "DISPLAY", ":99" }, { "QZ_RENDERING", "gpu" } }, {}, false,
            Path::Gpu, "QZ_RENDERING=gpu", true },
        MachineCase { "userWantsSoftware", { { "DISPLAY", ":0" }, { "QZ_RENDERING", "software" } },
            { kIntel }, true, Path::Software, "QZ_RENDERING=software", true },
        MachineCase { "userAsksAuto", { { "DISPLAY", ":99" }, { "QZ_RENDERING", "auto" } }, {}, false,
            Path::Software, "no GPU render node", true },
        MachineCase { "unknownWord", { { "DISPLAY", ":0" }, { "QZ_RENDERING", "fast" } }, { kIntel }, true,
            Path::Gpu, "QZ_RENDERING=fast is not", true }),
    [](const testing::TestParamInfo<MachineCase>& p) { return std::string(p.param.name); });

struct EnvironmentCase {
    const char* name;
    std::map<std::string, std::string> variables;
    Path path;
    RenderingPath::Variables expected;
};

class RenderingPathEnvironment : public testing::TestWithParam<EnvironmentCase> {};

TEST_P(RenderingPathEnvironment, KeepsWhatTheUserSet) {
    int displayQuestions = 0;
    const MachineCase machine { "", GetParam().variables, {}, false, Path::Gpu, "", false };
    EXPECT_EQ(RenderingPath::environmentFor(GetParam().path, machineOf(machine, displayQuestions)),
        GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Environments, RenderingPathEnvironment,
    testing::Values(
        EnvironmentCase { "softwareFromNothing", {}, Path::Software,
            { { "QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu" }, { "QT_QUICK_BACKEND", "software" } } },
        EnvironmentCase { "userFlagsKept", { { "QTWEBENGINE_CHROMIUM_FLAGS", "--lang=zh-CN" } },
            Path::Software,
            { { "QTWEBENGINE_CHROMIUM_FLAGS", "--lang=zh-CN --disable-gpu" },
                { "QT_QUICK_BACKEND", "software" } } },
        EnvironmentCase { "userAlreadyDisabledGpu",
            { { "QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu" }, { "QT_QUICK_BACKEND", "rhi" } },
            Path::Software, {} },
        EnvironmentCase { "gpuChangesNothing", {}, Path::Gpu, {} }),
    [](const testing::TestParamInfo<EnvironmentCase>& p) { return std::string(p.param.name); });

} // namespace
} // namespace qz
