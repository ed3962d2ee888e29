#include "support/FakePlatform.h"
#include "tray/Module1.h"

#include <gtest/gtest.h>

namespace qz::test {
namespace {

const MenuItem kTrayMenu { "mnuTray", "", u"0", "", false };

struct HookedWindow {
    HookedWindow() {
        AddTrayIcon(platform.window, kTrayMenu);
        mark = platform.log.entries.size();
    }
    std::optional<LRESULT> send(UINT message, WPARAM wParam, LPARAM lParam) {
        return platform.win32.sendMessage(FakeWindow::kHandle, message, wParam, lParam);
    }
    std::vector<std::string> calls() const { return platform.log.since(mark); }

    FakePlatform platform;
    std::size_t mark = 0;
};

using Calls = std::vector<std::string>;
const Calls kRestore { "Form1.WindowState=0", "Form1.Show", "Form1.SetFocus" };
const Calls kPopup { "Form1.PopupMenu=mnuTray" };

Calls passedOn(UINT message, LPARAM lParam) {
    const std::string args = std::to_string(message) + "," + std::to_string(lParam);
    return { "CallWindowProcA=" + args, "OwnWindowProc=" + args };
}

struct MessageCase {
    std::string name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    Calls calls;
    LRESULT result;
};

class TrayMessage : public testing::TestWithParam<MessageCase> {};

TEST_P(TrayMessage, ActsOnButtonUpAndPassesEverythingElseOn) {
    const MessageCase& c = GetParam();
    HookedWindow hooked;
    EXPECT_EQ(hooked.send(c.message, c.wParam, c.lParam), c.result);
    EXPECT_EQ(hooked.calls(), c.calls);
}

INSTANTIATE_TEST_SUITE_P(Messages, TrayMessage,
    testing::Values(MessageCase { "LeftButtonUp", 2025, 0, 514, kRestore, 0 },
        MessageCase { "RightButtonUp", 2025, 0, 517, kPopup, 0 },
        MessageCase { "LeftButtonUpOtherIcon", 2025, 9, 514, kRestore, 0 },
        MessageCase { "RightButtonUpOtherIcon", 2025, 1, 517, kPopup, 0 },
        MessageCase { "MouseMove", 2025, 0, 512, passedOn(2025, 512), 7 },
        MessageCase { "LeftButtonDown", 2025, 0, 513, passedOn(2025, 513), 7 },
        MessageCase { "DoubleClick", 2025, 0, 515, passedOn(2025, 515), 7 },
        MessageCase { "RightButtonDown", 2025, 0, 516, passedOn(2025, 516), 7 },
        MessageCase { "MiddleButtonUp", 2025, 0, 520, passedOn(2025, 520), 7 },
        MessageCase { "OtherMessageWithButtonUp", 16, 0, 514, passedOn(16, 514), 7 },
        MessageCase { "NeighbourMessage", 2024, 0, 517, passedOn(2024, 517), 7 }),
    [](const testing::TestParamInfo<MessageCase>& param) { return param.param.name; });

TEST(TrayWindowProc, DoubleClickRestoresOnEachButtonUp) {
    HookedWindow hooked;
    hooked.platform.window.state = vbMaximized;
    for (LPARAM mouse : { 513, 514, 515, 514 })
        hooked.send(2025, 0, mouse);
    EXPECT_EQ(hooked.platform.log.count("Form1.Show"), 2u);
    EXPECT_EQ(hooked.platform.window.state, vbNormal);
    EXPECT_TRUE(hooked.platform.window.visible);
}

TEST(TrayWindowProc, AFailingShowSkipsTheFocusAndDoesNotEscape) {
    HookedWindow hooked;
    hooked.platform.log.failAt("Form1.Show");
    EXPECT_EQ(hooked.send(2025, 0, 514), std::nullopt);
    EXPECT_EQ(hooked.calls(), (Calls { "Form1.WindowState=0", "Form1.Show" }));
    // The next message is handled as usual.
    EXPECT_EQ(hooked.send(2025, 0, 514), 0);
}

TEST(TrayWindowProc, AFailingPopupDoesNotEscape) {
    HookedWindow hooked;
    hooked.platform.log.failAt("Form1.PopupMenu");
    EXPECT_EQ(hooked.send(2025, 0, 517), std::nullopt);
    EXPECT_EQ(hooked.calls(), kPopup);
}

TEST(TrayWindowProc, MessagesThatArriveDuringThePopupGoThroughTheSameTests) {
    HookedWindow hooked;
    std::vector<std::optional<LRESULT>> nested;
    hooked.platform.window.duringPopup = [&] {
        nested.push_back(hooked.send(2025, 0, 514));
        nested.push_back(hooked.send(2025, 0, 512));
    };
    EXPECT_EQ(hooked.send(2025, 0, 517), 0);
    EXPECT_EQ(nested, (std::vector<std::optional<LRESULT>> { 0, 7 }));
    Calls expected = kPopup;
    expected.insert(expected.end(), kRestore.begin(), kRestore.end());
    const Calls moved = passedOn(2025, 512);
    expected.insert(expected.end(), moved.begin(), moved.end());
    EXPECT_EQ(hooked.calls(), expected);
}

TEST(TrayWindowProc, APickedExitThatUnhooksDuringThePopupEndsCleanly) {
    HookedWindow hooked;
    hooked.platform.window.duringPopup = [&] { RemoveTrayIcon(); };
    EXPECT_EQ(hooked.send(2025, 0, 517), 0);
    // Unhooked now: the next button-up reaches only the window's own procedure.
    const std::size_t mark = hooked.platform.log.entries.size();
    EXPECT_EQ(hooked.send(2025, 0, 514), 7);
    EXPECT_EQ(hooked.platform.log.since(mark), (Calls { "OwnWindowProc=2025,514" }));
}

} // namespace
} // namespace qz::test
