#include <string>
#include <vector>

#include <QByteArray>
#include <gtest/gtest.h>

#include "platform/qt/host/DisplayPlatform.h"

namespace qz {
namespace {

struct SessionCase {
    const char* name;
    const char* waylandDisplay;
    const char* display;
    const char* chosenPlatform;
    std::vector<std::string> arguments; // what the application object gets, after the program's name
    bool warns;
};

class DisplayPlatformChoice : public testing::TestWithParam<SessionCase> {
protected:
    void SetUp() override {
        for (const char* name : kVariables)
            m_saved.push_back(qgetenv(name));
        set("WAYLAND_DISPLAY", GetParam().waylandDisplay);
        set("DISPLAY", GetParam().display);
        set("QT_QPA_PLATFORM", GetParam().chosenPlatform);
        set("XDG_SESSION_TYPE", nullptr);
    }
    void TearDown() override {
        for (std::size_t i = 0; i < std::size(kVariables); ++i)
            set(kVariables[i], m_saved[i].isNull() ? nullptr : m_saved[i].constData());
    }
    static void set(const char* name, const char* value) {
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }

    static constexpr const char* kVariables[]
        = { "WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE" };
    std::vector<QByteArray> m_saved;
};

TEST_P(DisplayPlatformChoice, RunsOnXWhereAWaylandSessionHasIt) {
    char program[] = "qz-shell";
    char option[] = "-style";
    char style[] = "fusion";
    char* given[] = { program, option, style, nullptr };
    int argc = 3;
    char** argv = given;
    testing::internal::CaptureStderr();
    chooseDisplayPlatform(argc, argv);
    const std::string report = testing::internal::GetCapturedStderr();

    std::vector<std::string> arguments(argv + 1, argv + argc);
    EXPECT_EQ(arguments, GetParam().arguments);
    EXPECT_EQ(argv[argc], nullptr);
    EXPECT_EQ(report.find("cannot place") != std::string::npos, GetParam().warns) << report;
}

INSTANTIATE_TEST_SUITE_P(Sessions, DisplayPlatformChoice,
    testing::Values(SessionCase { "waylandWithX", "wayland-0", ":1", nullptr,
                        { "-platform", "xcb", "-style", "fusion" }, false },
        SessionCase { "waylandWithoutX", "wayland-0", nullptr, nullptr, { "-style", "fusion" }, true },
        SessionCase { "userChose", "wayland-0", ":1", "wayland", { "-style", "fusion" }, false },
        SessionCase { "x11", nullptr, ":1", nullptr, { "-style", "fusion" }, false }),
    [](const testing::TestParamInfo<SessionCase>& p) { return std::string(p.param.name); });

} // namespace
} // namespace qz
