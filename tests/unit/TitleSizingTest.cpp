#include "support/FakePlatform.h"
#include "tray/Module1.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qz::test {
namespace {

struct LoadedForm {
    LoadedForm() {
        form.Form_Load();
        mark = platform.log.entries.size();
    }
    std::string tip() const { return platform.win32.icons.begin()->second.szTip.data(); }

    FakePlatform platform;
    Form1 form { platform.parts() };
    std::size_t mark = 0;
};

// One tick over a page title, on a 1280 x 1024 pixel screen (19200 x 15360 twips).
struct TitleCase {
    std::u16string title;
    std::string caption;
    std::int16_t pageWidth, pageHeight; // 0 x 0: never set
    bool overflows;
    float browserWidth, browserHeight; // twips
    float windowWidth, windowHeight;
    float left, top;
    bool timerEnabled;
    std::string tip;
    std::u16string str1;
};

constexpr float kUnsizedBrowserWidth = 5085, kUnsizedBrowserHeight = 3304;
constexpr float kUnsizedWindowWidth = 4995, kUnsizedWindowHeight = 3510;

TitleCase unsized(std::u16string title, std::string caption, std::int16_t w = 0, std::int16_t h = 0,
    bool overflows = false) {
    const std::u16string str1 = overflows ? title + u"@800@600" : title;
    return { std::move(title), std::move(caption), w, h, overflows, kUnsizedBrowserWidth,
        kUnsizedBrowserHeight, kUnsizedWindowWidth, kUnsizedWindowHeight, 0, 0, true, "qz2010", str1 };
}

TitleCase sized(
    std::u16string title, std::string caption, std::int16_t w, std::int16_t h, float left, float top) {
    const float bw = w * 15.0f, bh = h * 15.0f;
    std::u16string str1 = title + u"@800@600";
    std::string tip = caption;
    return { std::move(title), std::move(caption), w, h, false, bw, bh, bw, bh + 300, left, top, false,
        std::move(tip), std::move(str1) };
}

class TitleTick : public testing::TestWithParam<TitleCase> {};

TEST_P(TitleTick, SizesTheWindowAsTheTitleAsks) {
    const TitleCase& c = GetParam();
    LoadedForm loaded;
    FakePlatform& p = loaded.platform;
    p.browser.title = c.title;

    if (c.overflows)
        EXPECT_THROW(loaded.form.Timer1_Timer(), OverflowError);
    else
        EXPECT_NO_THROW(loaded.form.Timer1_Timer());

    EXPECT_EQ(utf8(p.window.caption), c.caption);
    EXPECT_EQ(loaded.form.PageWidth, c.pageWidth);
    EXPECT_EQ(loaded.form.PageHeight, c.pageHeight);
    EXPECT_EQ(p.browser.width, c.browserWidth);
    EXPECT_EQ(p.browser.height, c.browserHeight);
    EXPECT_EQ(p.window.width, c.windowWidth);
    EXPECT_EQ(p.window.height, c.windowHeight);
    EXPECT_EQ(p.window.left, c.left);
    EXPECT_EQ(p.window.top, c.top);
    EXPECT_EQ(p.timer.enabled, c.timerEnabled);
    EXPECT_EQ(loaded.tip(), c.tip);
    EXPECT_EQ(loaded.form.str1, c.str1);
}

INSTANTIATE_TEST_SUITE_P(WorkedTitles, TitleTick,
    testing::Values(sized(u"QZ Portal@1024@768", "QZ Portal", 1024, 768, 1920, 1770),
        sized(u"QZ Portal", "QZ Portal", 800, 600, 3600, 3030), unsized(u"Some page", "Some page"),
        unsized(u"qz portal@1024@768", "qz portal@1024@768"), sized(u"QZ@1024", "QZ", 1024, 800, 1920, 1530),
        sized(u"QZ@@", "QZ", 800, 600, 3600, 3030), sized(u"QZ@abc@-5", "QZ", 800, 600, 3600, 3030),
        sized(u"QZ@0@0", "QZ", 800, 600, 3600, 3030), sized(u"QZ@1024.9@768.2", "QZ", 1024, 768, 1920, 1770),
        sized(u"Welcome@QZ@1024@768", "Welcome", 800, 1024, 3600, -150),
        sized(u"Home@1024@768 QZ", "Home", 1024, 600, 1920, 3030),
        // The largest size that fits: the window overhangs the screen equally on both sides.
        sized(u"QZ@2184@2184", "QZ", 2184, 2184, -6780, -8850),
        // A half twip is passed on unchanged.
        sized(u"QZ@1001@700", "QZ", 1001, 700, 2092.5f, 2280),
        sized(u"QZ@ 640 @\t480\t", "QZ", 640, 480, 4800, 3930),
        sized(u"QZ@1e3@5.@.5", "QZ", 1000, 5, 2100, 7492.5f),
        sized(u"QZ@0x400@1,024", "QZ", 800, 600, 3600, 3030),
        // Step 10: Top and ToolBar are set, nothing is sized, polling goes on.
        unsized(u"QZ@2185@600", "QZ", 2185, 600, true), unsized(u"QZ@40000@600", "QZ", 0, 0, true),
        unsized(u"QZ@600@32768", "QZ", 600, 0, true), unsized(u"QZ@1e400@600", "QZ", 0, 0, true)));

TEST(TitleTick, OverflowAtStepElevenHasSetTheBrowserWidth) {
    LoadedForm loaded;
    loaded.platform.browser.title = u"QZ@600@2185";
    EXPECT_THROW(loaded.form.Timer1_Timer(), OverflowError);
    const std::vector<std::string> tail(
        loaded.platform.log.entries.end() - 3, loaded.platform.log.entries.end());
    EXPECT_EQ(tail,
        (std::vector<std::string> {
            "WebBrowser1.Top=0", "WebBrowser1.ToolBar=0", "WebBrowser1.Width=9000" }));
    EXPECT_EQ(loaded.platform.browser.height, kUnsizedBrowserHeight);
    EXPECT_TRUE(loaded.platform.timer.enabled);
}

TEST(TitleTick, MarkerTickMakesItsCallsInOrder) {
    LoadedForm loaded;
    loaded.platform.browser.title = u"QZ Portal@1024@768";
    loaded.form.Timer1_Timer();
    const std::vector<std::string> expected {
        "WebBrowser1.LocationName",
        "Form1.Caption=QZ Portal@1024@768",
        "Form1.Caption",
        "Form1.Caption=QZ Portal",
        "WebBrowser1.Top=0",
        "WebBrowser1.ToolBar=0",
        "WebBrowser1.Width=15360",
        "WebBrowser1.Height=11520",
        "WebBrowser1.Width",
        "Form1.Width=15360",
        "WebBrowser1.Height",
        "Form1.Height=11820",
        "Screen.Width",
        "Form1.Width",
        "Form1.Left=1920",
        "Screen.Height",
        "Form1.Height",
        "Form1.Top=1770",
        "Timer1.Enabled=False",
        "Form1.Caption",
        "Shell_NotifyIconA=NIM_MODIFY",
    };
    EXPECT_EQ(loaded.platform.log.since(loaded.mark), expected);
}

TEST(TitleTick, TickWithoutMarkerWritesTheCaptionTwice) {
    LoadedForm loaded;
    loaded.platform.browser.title = u"Some page";
    loaded.form.Timer1_Timer();
    const std::vector<std::string> expected { "WebBrowser1.LocationName", "Form1.Caption=Some page",
        "Form1.Caption", "Form1.Caption=Some page" };
    EXPECT_EQ(loaded.platform.log.since(loaded.mark), expected);
}

TEST(TitleTick, CaptionFollowsEachNewTitleWhilePolling) {
    LoadedForm loaded;
    for (const std::u16string title : { u"第一页", u"Second page", u"" }) {
        loaded.platform.browser.title = title;
        loaded.form.Timer1_Timer();
        EXPECT_EQ(loaded.platform.window.caption, title);
        EXPECT_TRUE(loaded.platform.timer.enabled);
    }
    EXPECT_EQ(loaded.tip(), "qz2010");
}

// A platform call that fails at any step of a marker tick ends the tick there: everything before it
// was done, nothing after it, and the timer is still enabled unless the step that stops it was reached.
TEST(TitleTick, AFailureAtAnyStepEndsTheTickThere) {
    std::vector<std::string> operations;
    std::vector<std::string> fullTick;
    {
        LoadedForm loaded;
        loaded.platform.browser.title = u"QZ Portal@1024@768";
        loaded.form.Timer1_Timer();
        fullTick = loaded.platform.log.since(loaded.mark);
        operations.assign(loaded.platform.log.operations.begin() + static_cast<long>(loaded.mark),
            loaded.platform.log.operations.end());
    }
    ASSERT_EQ(fullTick.size(), 21u);
    const std::size_t timerStep = 18;
    ASSERT_EQ(fullTick[timerStep], "Timer1.Enabled=False");

    for (std::size_t step = 0; step < fullTick.size(); ++step) {
        const std::string& op = operations[step];
        const int nth = static_cast<int>(
            std::count(operations.begin(), operations.begin() + static_cast<long>(step) + 1, op));
        LoadedForm loaded;
        loaded.platform.log.failAt(op, nth);
        loaded.platform.browser.title = u"QZ Portal@1024@768";

        EXPECT_THROW(loaded.form.Timer1_Timer(), PlatformError) << fullTick[step];
        EXPECT_EQ(loaded.platform.log.since(loaded.mark),
            std::vector<std::string>(fullTick.begin(), fullTick.begin() + static_cast<long>(step) + 1))
            << "failing at " << fullTick[step];
        EXPECT_EQ(loaded.platform.timer.enabled, step <= timerStep) << fullTick[step];

        if (step <= timerStep) {
            loaded.form.Timer1_Timer(); // the next tick starts over and sizes the window
            EXPECT_FALSE(loaded.platform.timer.enabled) << fullTick[step];
            EXPECT_EQ(loaded.platform.window.width, 15360) << fullTick[step];
        }
    }
}

TEST(TitleTick, NextTickStartsOverWithTheTitleThePageThenHas) {
    LoadedForm loaded;
    loaded.platform.browser.title = u"QZ@40000@600";
    EXPECT_THROW(loaded.form.Timer1_Timer(), OverflowError);
    loaded.platform.browser.title = u"QZ Fixed@640@480";
    loaded.form.Timer1_Timer();
    EXPECT_EQ(utf8(loaded.platform.window.caption), "QZ Fixed");
    EXPECT_EQ(loaded.form.PageWidth, 640);
    EXPECT_EQ(loaded.form.PageHeight, 480);
    EXPECT_EQ(loaded.tip(), "QZ Fixed");
}

TEST(TitleTick, TickWhileHiddenStillSizes) {
    LoadedForm loaded;
    loaded.platform.window.visible = false;
    loaded.platform.browser.title = u"QZ@640@480";
    loaded.form.Timer1_Timer();
    EXPECT_FALSE(loaded.platform.timer.enabled);
    EXPECT_FALSE(loaded.platform.window.visible);
}

} // namespace
} // namespace qz::test
