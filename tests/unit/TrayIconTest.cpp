#include "support/FakePlatform.h"
#include "tray/AnsiCodePage.h"
#include "tray/Module1.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qz::test {
namespace {

const MenuItem kTrayMenu { "mnuTray", "", u"0", "", false };

std::string repeat(std::string_view text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

std::u16string repeat(std::u16string_view text, int times) {
    std::u16string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

TEST(AddTrayIcon, HooksTheWindowBeforeAddingTheIcon) {
    FakePlatform platform;
    AddTrayIcon(platform.window, kTrayMenu);
    const std::vector<std::string> expected { "Form1.hWnd", "SetWindowLongA=65602,-4", "Form1.hWnd",
        "Form1.Icon.Handle", "Shell_NotifyIconA=NIM_ADD" };
    EXPECT_EQ(platform.log.entries, expected);
    EXPECT_EQ(Module1.PrevWndProc, reinterpret_cast<LONG_PTR>(&FakeTraySystemCalls::OwnWindowProc));
    EXPECT_EQ(platform.win32.procedures.at(FakeWindow::kHandle), reinterpret_cast<LONG_PTR>(&TrayWindowProc));
    EXPECT_EQ(Module1.TrayForm, &platform.window);
    EXPECT_EQ(Module1.TrayMenu, &kTrayMenu);
}

TEST(AddTrayIcon, HandsTheNotificationAreaAnEightyEightByteRecordWithoutTip) {
    FakePlatform platform;
    AddTrayIcon(platform.window, kTrayMenu);
    ASSERT_EQ(platform.win32.records.size(), 1u);
    const NOTIFYICONDATAA& added = platform.win32.records[0];
    EXPECT_EQ(added.cbSize, 88u);
    EXPECT_EQ(added.hWnd, FakeWindow::kHandle);
    EXPECT_EQ(added.uID, 0u);
    EXPECT_EQ(added.uFlags, 3u);
    EXPECT_EQ(added.uCallbackMessage, 2025u);
    EXPECT_EQ(added.hIcon, FakeWindow::kIcon);
    const std::array<char, 64> zero {};
    EXPECT_EQ(added.szTip, zero);
}

TEST(SetTrayTip, ChangesOnlyTheTip) {
    FakePlatform platform;
    AddTrayIcon(platform.window, kTrayMenu);
    SetTrayTip(u"qz2010");
    const NOTIFYICONDATAA& modify = platform.win32.records.back();
    EXPECT_EQ(modify.uFlags, 4u);
    EXPECT_EQ(modify.hWnd, FakeWindow::kHandle);
    EXPECT_EQ(modify.uID, 0u);
    EXPECT_STREQ(modify.szTip.data(), "qz2010");
    EXPECT_EQ(platform.win32.icons.begin()->second.hIcon, FakeWindow::kIcon);
    EXPECT_EQ(platform.win32.icons.begin()->second.uCallbackMessage, 2025u);
}

// What the 64-byte ANSI field holds for a tip: at most 63 bytes of whole characters, then a NUL,
// then zeros.
struct TipCase {
    std::string name;
    std::u16string tip;
    std::string ansi; // code page 936 bytes before the NUL
};

class TipField : public testing::TestWithParam<TipCase> {};

TEST_P(TipField, KeepsWholeCharactersWithinSixtyThreeBytes) {
    const TipCase& c = GetParam();
    FakePlatform platform;
    AddTrayIcon(platform.window, kTrayMenu);
    SetTrayTip(c.tip);
    const auto& field = platform.win32.records.back().szTip;
    const std::size_t length = std::strlen(field.data());
    ASSERT_LT(length, 64u);
    EXPECT_EQ(std::string(field.data(), length), c.ansi);
    for (std::size_t i = length; i < field.size(); ++i)
        EXPECT_EQ(field[i], '\0') << "byte " << i;
}

const std::string kHan = "\xBA\xBA"; // 汉 in code page 936

INSTANTIATE_TEST_SUITE_P(Tips, TipField,
    testing::Values(TipCase { "Empty", u"", "" }, TipCase { "Ascii63", repeat(u"a", 63), repeat("a", 63) },
        TipCase { "Ascii64", repeat(u"a", 64), repeat("a", 63) },
        TipCase { "Ascii100", repeat(u"b", 100), repeat("b", 63) },
        TipCase { "Han31", repeat(u"汉", 31), repeat(kHan, 31) },
        TipCase { "Han32", repeat(u"汉", 32), repeat(kHan, 31) },
        TipCase { "HanFillsExactly", u"a" + repeat(u"汉", 40), "a" + repeat(kHan, 31) },
        TipCase { "HanStraddlesByte63", u"aa" + repeat(u"汉", 40), "aa" + repeat(kHan, 30) },
        TipCase { "SurrogatePairAtTheCut", repeat(u"a", 62) + u"\U0001F600", repeat("a", 62) },
        TipCase { "SurrogatePairWithin", u"a\U0001F600b", "a?b" },
        TipCase { "NotInCodePage", u"ก汉", "?" + kHan },
        TipCase { "Caption", u"QZ 门户", "QZ \xC3\xC5\xBB\xA7" }),
    [](const testing::TestParamInfo<TipCase>& param) { return param.param.name; });

TEST(TipField, WideFieldNeverEndsInHalfASurrogatePair) {
    const auto field = tipField(repeat(u"a", 62) + u"\U0001F600");
    EXPECT_EQ(std::u16string(field.data()), repeat(u"a", 62));
    EXPECT_EQ(std::u16string(tipField(repeat(u"a", 61) + u"\U0001F600").data()).size(), 63u);
}

TEST(AnsiCodePage, RoundTripsChineseText) {
    EXPECT_EQ(fromAnsi(toAnsi(u"你真的要退出QZ吗？", 63)), u"你真的要退出QZ吗？");
    EXPECT_EQ(fromAnsi("\xBA"), u"\uFFFD"); // a lead byte with nothing after it
}

TEST(SetTrayTip, BeforeTheIconExistsIsRefusedAndAddsNothing) {
    FakePlatform platform;
    platform.window.hWnd(); // nothing hooked, nothing added
    EXPECT_NO_THROW(SetTrayTip(u"early"));
    EXPECT_TRUE(platform.win32.icons.empty());
}

TEST(RemoveTrayIcon, DeletesTheIconThenUnhooksAndKeepsTheValues) {
    FakePlatform platform;
    AddTrayIcon(platform.window, kTrayMenu);
    SetTrayTip(u"QZ Portal");
    const std::size_t mark = platform.log.entries.size();

    RemoveTrayIcon();

    const std::vector<std::string> expected { "Shell_NotifyIconA=NIM_DELETE", "Form1.hWnd",
        "SetWindowLongA=65602,-4" };
    EXPECT_EQ(platform.log.since(mark), expected);
    EXPECT_EQ(platform.win32.records.back().uFlags, 0u);
    EXPECT_EQ(platform.win32.records.back().hWnd, FakeWindow::kHandle);
    EXPECT_TRUE(platform.win32.icons.empty());
    EXPECT_EQ(platform.win32.procedures.at(FakeWindow::kHandle),
        reinterpret_cast<LONG_PTR>(&FakeTraySystemCalls::OwnWindowProc));
    // Nothing is cleared.
    EXPECT_EQ(Module1.PrevWndProc, reinterpret_cast<LONG_PTR>(&FakeTraySystemCalls::OwnWindowProc));
    EXPECT_EQ(Module1.TrayForm, &platform.window);
    EXPECT_EQ(Module1.TrayIconData.cbSize, 88u);
    EXPECT_EQ(Module1.TrayIconData.uCallbackMessage, 2025u);
    EXPECT_EQ(std::u16string(Module1.TrayIconData.szTip.data()), u"QZ Portal");

    SetTrayTip(u"later");
    EXPECT_TRUE(platform.win32.icons.empty()); // a later tip does not bring the icon back
}

TEST(AddTrayIcon, AFailingIconReadLeavesTheHookInPlace) {
    FakePlatform platform;
    platform.log.failAt("Form1.Icon.Handle");
    EXPECT_THROW(AddTrayIcon(platform.window, kTrayMenu), PlatformError);
    EXPECT_EQ(platform.win32.procedures.at(FakeWindow::kHandle), reinterpret_cast<LONG_PTR>(&TrayWindowProc));
    EXPECT_TRUE(platform.win32.records.empty());
}

} // namespace
} // namespace qz::test
