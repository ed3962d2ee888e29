#include "app/BuildConfig.h"
#include "support/FakePlatform.h"
#include "tray/Module1.h"

#include <gtest/gtest.h>

namespace qz::test {
namespace {

using Entries = std::vector<std::string>;

const std::string kStartAddress
    = utf8(build::PortalScheme) + "://" + utf8(build::ServiceHost) + "/api/qz/?from=qz&version=1.0.0";

TEST(FormLoad, MakesItsCallsInOrder) {
    FakePlatform platform;
    Form1 form(platform.parts());
    form.Form_Load();

    const Entries expected {
        "WebBrowser1.Top=0",
        "WebBrowser1.Navigate=" + kStartAddress,
        "WebBrowser1.LocationURL",
        "Form1.Print=" + kStartAddress,
        "Form1.hWnd",
        "SetWindowLongA=65602,-4",
        "Form1.hWnd",
        "Form1.Icon.Handle",
        "Shell_NotifyIconA=NIM_ADD",
        "Shell_NotifyIconA=NIM_MODIFY",
    };
    EXPECT_EQ(platform.log.entries, expected);
    ASSERT_EQ(platform.window.printed.size(), 1u);
    EXPECT_EQ(utf8(platform.window.printed[0]), kStartAddress);
}

TEST(FormLoad, RequestsTheStartPageOnceWithOneArgument) {
    FakePlatform platform;
    Form1 form(platform.parts());
    form.Form_Load();
    EXPECT_EQ(platform.log.count("WebBrowser1.Navigate=" + kStartAddress), 1u);
    // The five-argument form joins its arguments with '|'; the start page uses the one-argument form.
    for (const auto& entry : platform.log.entries)
        EXPECT_EQ(entry.find('|'), std::string::npos) << entry;
}

TEST(FormLoad, LeavesTheIconWithTheFirstTip) {
    FakePlatform platform;
    Form1 form(platform.parts());
    form.Form_Load();
    ASSERT_EQ(platform.win32.icons.size(), 1u);
    EXPECT_STREQ(platform.win32.icons.begin()->second.szTip.data(), "qz2010");
    EXPECT_EQ(Module1.TrayForm, &platform.window);
    EXPECT_EQ(Module1.TrayMenu->name, "mnuTray");
}

// A failing call ends the load at that step: what came before stays done, nothing after it runs.
struct LoadFailure {
    std::string operation;
    int nth;
    std::size_t entriesMade; // including the failing call
    bool hooked;
    std::size_t icons;
};

class FormLoadFailure : public testing::TestWithParam<LoadFailure> {};

TEST_P(FormLoadFailure, EndsTheLoadAtThatStep) {
    const LoadFailure& failure = GetParam();
    FakePlatform platform;
    platform.log.failAt(failure.operation, failure.nth);
    Form1 form(platform.parts());

    EXPECT_THROW(form.Form_Load(), PlatformError);
    EXPECT_EQ(platform.log.entries.size(), failure.entriesMade);
    EXPECT_EQ(
        platform.win32.procedures.at(FakeWindow::kHandle) == reinterpret_cast<LONG_PTR>(&TrayWindowProc),
        failure.hooked);
    EXPECT_EQ(platform.win32.icons.size(), failure.icons);
}

INSTANTIATE_TEST_SUITE_P(EachStep, FormLoadFailure,
    testing::Values(LoadFailure { "WebBrowser1.Top=", 1, 1, false, 0 },
        LoadFailure { "WebBrowser1.Navigate", 1, 2, false, 0 },
        LoadFailure { "WebBrowser1.LocationURL", 1, 3, false, 0 },
        LoadFailure { "Form1.Print", 1, 4, false, 0 }, LoadFailure { "Form1.hWnd", 1, 5, false, 0 },
        // The hook is in but the record is not filled: no icon.
        LoadFailure { "Form1.hWnd", 2, 7, true, 0 }, LoadFailure { "Form1.Icon.Handle", 1, 8, true, 0 }));

TEST(FormLoad, StartAddressCarriesTheVersion) {
    FakePlatform platform;
    Form1 form(platform.parts());
    EXPECT_EQ(form.Version(), u"1.0.0");
    form.Form_Load();
    ASSERT_FALSE(platform.browser.url.empty());
    EXPECT_TRUE(platform.browser.url.ends_with(u"version=1.0.0"));
}

} // namespace
} // namespace qz::test
