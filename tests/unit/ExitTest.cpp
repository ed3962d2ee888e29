#include "support/FakePlatform.h"
#include "tray/Module1.h"

#include <gtest/gtest.h>

namespace qz::test {
namespace {

using Calls = std::vector<std::string>;
const std::string kQuestion = "MsgBox=你真的要退出QZ吗？|4|请确认";

struct RunningShell {
    explicit RunningShell(bool shown = true) {
        form.Form_Load();
        if (shown)
            platform.window.Show();
        mark = platform.log.entries.size();
    }
    Calls calls() const { return platform.log.since(mark); }
    bool iconShown() const { return !platform.win32.icons.empty(); }
    bool hooked() const {
        return platform.win32.procedures.at(FakeWindow::kHandle)
            == reinterpret_cast<LONG_PTR>(&TrayWindowProc);
    }

    FakePlatform platform;
    Form1 form { platform.parts() };
    std::size_t mark = 0;
};

enum class Event { CloseBox, ExitItem, TrayExitItem };

// The unload as one table: where the shell is, what happens, the answer to the question, and what
// follows.
struct UnloadCase {
    std::string name;
    bool shown;
    bool notificationArea;
    Event event;
    std::int32_t answer;
    Calls calls;
    bool visibleAfter;
    std::int16_t stateAfter;
    bool destroyed;
};

const Calls kHide { "NotificationAreaAvailable", "Form1.Hide" };
const Calls kAskedNo { "Form1.Unload", kQuestion };
const Calls kAskedYes { "Form1.Unload", kQuestion, "Shell_NotifyIconA=NIM_DELETE", "Form1.hWnd",
    "SetWindowLongA=65602,-4", "DoEvents", "Form1.destroyed" };

class Unload : public testing::TestWithParam<UnloadCase> {};

TEST_P(Unload, FollowsTheStateTable) {
    const UnloadCase& c = GetParam();
    RunningShell shell(c.shown);
    shell.platform.desktop.notificationArea = c.notificationArea;
    shell.platform.desktop.answer = c.answer;

    switch (c.event) {
    case Event::CloseBox:
        shell.platform.window.closeFromFrame();
        break;
    case Event::ExitItem:
        shell.form.Exit_Click();
        break;
    case Event::TrayExitItem:
        shell.form.mnuTrayClose_Click();
        break;
    }

    EXPECT_EQ(shell.calls(), c.calls);
    EXPECT_EQ(shell.platform.window.visible, c.visibleAfter);
    EXPECT_EQ(shell.platform.window.state, c.stateAfter);
    EXPECT_EQ(shell.platform.window.destroyed, c.destroyed);
    EXPECT_EQ(shell.iconShown(), !c.destroyed);
    EXPECT_EQ(shell.hooked(), !c.destroyed);
    EXPECT_EQ(shell.form.ExitRequested, 0);
    EXPECT_EQ(shell.platform.desktop.pumpPasses, c.destroyed ? 5001 : 0);
}

INSTANTIATE_TEST_SUITE_P(States, Unload,
    testing::Values(UnloadCase { "ShownCloseBoxHides", true, true, Event::CloseBox, vbYes, kHide, false,
                        vbNormal, false },
        UnloadCase {
            "HiddenCloseBoxStaysHidden", false, true, Event::CloseBox, vbYes, kHide, false, vbNormal, false },
        UnloadCase { "CloseBoxWithoutNotificationAreaMinimizes", true, false, Event::CloseBox, vbYes,
            { "NotificationAreaAvailable", "Form1.WindowState=1" }, true, vbMinimized, false },
        UnloadCase {
            "ShownExitAnsweredNo", true, true, Event::ExitItem, vbNo, kAskedNo, true, vbNormal, false },
        UnloadCase { "HiddenTrayExitAnsweredNo", false, true, Event::TrayExitItem, vbNo, kAskedNo, false,
            vbNormal, false },
        UnloadCase {
            "ShownExitAnsweredYes", true, true, Event::ExitItem, vbYes, kAskedYes, false, vbNormal, true },
        UnloadCase { "HiddenTrayExitAnsweredYes", false, true, Event::TrayExitItem, vbYes, kAskedYes, false,
            vbNormal, true },
        // Any answer but Yes keeps the window.
        UnloadCase {
            "ExitAnsweredOtherwise", true, true, Event::ExitItem, 2, kAskedNo, true, vbNormal, false }),
    [](const testing::TestParamInfo<UnloadCase>& param) { return param.param.name; });

TEST(Unload, ANoUsesUpTheRequestSoTheNextCloseHides) {
    RunningShell shell;
    shell.form.Exit_Click();
    shell.platform.window.closeFromFrame();
    EXPECT_EQ(
        shell.calls(), (Calls { "Form1.Unload", kQuestion, "NotificationAreaAvailable", "Form1.Hide" }));
    EXPECT_FALSE(shell.platform.window.destroyed);
}

TEST(Unload, RequestIsBackToZeroBeforeTheQuestion) {
    RunningShell shell;
    std::int16_t duringQuestion = -1;
    shell.platform.desktop.duringQuestion = [&] { duringQuestion = shell.form.ExitRequested; };
    shell.form.Exit_Click();
    EXPECT_EQ(duringQuestion, 0);
}

TEST(Unload, IconIsGoneAndWindowUnhookedBeforeTheFirstPumpPass) {
    RunningShell shell;
    shell.platform.desktop.answer = vbYes;
    bool iconAtFirstPass = true, hookedAtFirstPass = true;
    bool destroyedDuringPump = false;
    shell.platform.desktop.duringPump = [&](int pass) {
        if (pass == 0) {
            iconAtFirstPass = shell.iconShown();
            hookedAtFirstPass = shell.hooked();
        }
        destroyedDuringPump |= shell.platform.window.destroyed;
    };
    shell.form.mnuTrayClose_Click();
    EXPECT_FALSE(iconAtFirstPass);
    EXPECT_FALSE(hookedAtFirstPass);
    EXPECT_FALSE(destroyedDuringPump); // Cancel goes to 0 only after the 5001st pass
    EXPECT_TRUE(shell.platform.window.destroyed);
}

TEST(Unload, TrayMessageDuringTheQuestionStillActs) {
    RunningShell shell(false);
    shell.platform.desktop.duringQuestion
        = [&] { shell.platform.win32.sendMessage(FakeWindow::kHandle, 2025, 0, 514); };
    shell.form.mnuTrayClose_Click();
    EXPECT_TRUE(shell.platform.window.visible); // the hook was still in place
}

TEST(Unload, TrayMessageAndTickDuringThePumpDoNothingHarmful) {
    RunningShell shell(false);
    shell.platform.desktop.answer = vbYes;
    shell.platform.browser.title = u"QZ Portal@1024@768";
    shell.platform.desktop.duringPump = [&](int pass) {
        if (pass == 10)
            shell.platform.win32.sendMessage(FakeWindow::kHandle, 2025, 0, 514);
        if (pass == 20)
            shell.form.Timer1_Timer();
    };
    shell.form.mnuTrayClose_Click();
    EXPECT_EQ(shell.platform.log.count("Form1.Show"), 0u); // the restore no longer acts
    EXPECT_EQ(shell.platform.log.count("OwnWindowProc=2025,514"), 1u);
    EXPECT_TRUE(shell.platform.win32.icons.empty()); // the tick's tip change brings no icon back
    EXPECT_TRUE(shell.platform.window.destroyed);
}

TEST(Unload, AFailingHideEndsTheHandlerBeforeCancelIsSet) {
    RunningShell shell;
    shell.platform.log.failAt("Form1.Hide");
    std::int16_t cancel = 0;
    EXPECT_THROW(shell.form.Form_Unload(cancel), PlatformError);
    EXPECT_EQ(cancel, 0);
}

TEST(Unload, AFailingQuestionLeavesTheIconAndTheWindow) {
    RunningShell shell;
    shell.platform.log.failAt("MsgBox");
    EXPECT_THROW(shell.form.Exit_Click(), PlatformError);
    EXPECT_TRUE(shell.iconShown());
    EXPECT_FALSE(shell.platform.window.destroyed);
    EXPECT_EQ(shell.form.ExitRequested, 0);
}

TEST(OpenWindow, RestoresShowsAndActivatesTheTrayForm) {
    RunningShell shell(false);
    shell.platform.window.state = vbMaximized;
    shell.form.mnuTrayOpen_Click();
    EXPECT_EQ(shell.calls(), (Calls { "Form1.WindowState=0", "Form1.Show", "Form1.SetFocus" }));
    EXPECT_EQ(shell.platform.window.state, vbNormal);
    EXPECT_TRUE(shell.platform.window.visible);
}

TEST(OpenWindow, AFailingStateChangeSkipsTheRest) {
    RunningShell shell(false);
    shell.platform.log.failAt("Form1.WindowState=");
    EXPECT_THROW(shell.form.mnuTrayOpen_Click(), PlatformError);
    EXPECT_EQ(shell.calls(), (Calls { "Form1.WindowState=0" }));
}

TEST(EndSession, RemovesTheIconWithoutAsking) {
    RunningShell shell(false);
    shell.form.Form_EndSession();
    EXPECT_EQ(
        shell.calls(), (Calls { "Shell_NotifyIconA=NIM_DELETE", "Form1.hWnd", "SetWindowLongA=65602,-4" }));
    EXPECT_FALSE(shell.iconShown());
}

TEST(EndSession, AfterAFailedStartUpRaisesInsteadOfCrashing) {
    FakePlatform platform;
    platform.log.failAt("WebBrowser1.Navigate");
    Form1 form(platform.parts());
    EXPECT_THROW(form.Form_Load(), PlatformError);
    EXPECT_THROW(form.Form_EndSession(), PlatformError);
    EXPECT_THROW(form.mnuTrayOpen_Click(), PlatformError);
}

} // namespace
} // namespace qz::test
