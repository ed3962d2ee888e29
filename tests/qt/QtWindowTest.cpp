#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "app/ErrorBoundary.h"
#include "platform/Errors.h"
#include "platform/qt/Utf16.h"
#include "platform/qt/tray/HandleTable.h"
#include "platform/qt/tray/TrayPopupPosition.h"
#include "platform/qt/window/MainWindow.h"
#include "platform/qt/window/QtWindow.h"
#include "platform/qt/window/Surface.h"
#include "platform/qt/window/Twips.h"

namespace qz {
namespace {

class QtWindowTest : public testing::Test {
protected:
    void TearDown() override { test::flushDeletions(); }

    HandleTable handles;
    MainWindow window;
    TrayPopupPosition popupPosition;
    QtWindow qtWindow { window, handles, popupPosition };
};

TEST_F(QtWindowTest, ClientSizeIsTheAreaUnderTheMenuBarWhateverItsHeight) {
    window.menuBar()->addMenu(QStringLiteral("Q  Z(Q)"));
    window.setClientSize(QSize(333, 214));
    window.show();
    ASSERT_TRUE(test::waitFor([&] { return window.isVisible(); }));
    const int bar = window.menuBar()->height();
    EXPECT_GT(bar, 0);
    EXPECT_EQ(bar, window.menuBarHeightFor(333));
    EXPECT_EQ(window.size(), QSize(333, 214 + bar));
    EXPECT_EQ(window.surface()->geometry(), QRect(0, bar, 333, 214));
    // The logic counts a 20-pixel bar (300 twips) whatever the real one takes.
    EXPECT_EQ(qtWindow.Width(), 4995.0f);
    EXPECT_EQ(qtWindow.Height(), 3510.0f);
}

// A desktop's theme with a larger font (GTK's) makes the bar taller: the area under it keeps its size.
TEST_F(QtWindowTest, WindowFollowsTheBarsHeightKeepingTheAreaUnderIt) {
    window.menuBar()->addMenu(QStringLiteral("Q  Z(Q)"));
    window.show();
    qtWindow.setWidth(12000);
    qtWindow.setHeight(9300);
    QFont large = window.menuBar()->font();
    large.setPixelSize(40);
    window.menuBar()->setFont(large);
    ASSERT_TRUE(test::waitFor([&] { return window.menuBar()->height() > 40; }));
    ASSERT_TRUE(
        test::waitFor([&] { return window.surface()->geometry().top() == window.menuBar()->height(); }));
    EXPECT_EQ(window.surface()->size(), QSize(800, 600));
    EXPECT_EQ(qtWindow.Height(), 9300.0f);
}

TEST_F(QtWindowTest, CentresOnTheScreenAsTheTwipsArithmeticRounds) {
    const QScreen& screen = *QGuiApplication::primaryScreen();
    window.setClientSize(QSize(333, 214));
    window.centreOn(screen);
    const QRect area = screen.geometry();
    const auto centred = [](int space) { return twipsToPixels(pixelsToTwips(space) / 2); };
    EXPECT_EQ(window.logicalPos(),
        area.topLeft() + QPoint(centred(area.width() - 333), centred(area.height() - 234)));
}

struct SizeCase {
    float widthTwips;
    float heightTwips;
    QSize pixels;
};

class QtWindowSizes : public QtWindowTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(QtWindowSizes, SetsTheExactPixelSizeAtOnceShownOrNot) {
    const SizeCase& size = GetParam();
    for (const bool shown : { false, true }) {
        window.setVisible(shown);
        qtWindow.setWidth(size.widthTwips);
        qtWindow.setHeight(size.heightTwips);
        EXPECT_EQ(window.logicalSize(), size.pixels) << (shown ? "shown" : "hidden");
        EXPECT_EQ(window.height() - window.menuBarHeightFor(window.width()),
            size.pixels.height() - MainWindow::kMenuBarHeight);
        EXPECT_EQ(qtWindow.Width(), pixelsToTwips(size.pixels.width()));
        EXPECT_EQ(qtWindow.Height(), pixelsToTwips(size.pixels.height()));
        qtWindow.setWidth(4995);
        qtWindow.setHeight(3510);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, QtWindowSizes,
    testing::Values(SizeCase { 4995, 3510, { 333, 234 } }, SizeCase { 12000, 9300, { 800, 620 } },
        SizeCase { 150, 450, { 10, 30 } }, SizeCase { 22.5f, 307.5f, { 2, 21 } },
        // Larger than any screen here: nothing clamps it.
        SizeCase { 32760, 27300, { 2184, 1820 } }));

TEST_F(QtWindowTest, KeepsNegativePositions) {
    // The offscreen platform pulls shown windows back by its made-up frame; a real display does not.
    const bool realDisplay = QGuiApplication::platformName() != QStringLiteral("offscreen");
    for (const bool shown : { false, true }) {
        if (shown && !realDisplay)
            continue;
        window.setVisible(shown);
        qtWindow.setLeft(-3000);
        qtWindow.setTop(-1507.5f);
        QCoreApplication::processEvents();
        EXPECT_EQ(window.logicalPos(), QPoint(-200, -101)) << (shown ? "shown" : "hidden");
        EXPECT_EQ(qtWindow.Left(), -3000.0f);
        EXPECT_EQ(qtWindow.Top(), -1515.0f);
    }
}

TEST_F(QtWindowTest, LeftAndTopMoveOneCoordinateEach) {
    window.moveLogical(QPoint(10, 20));
    qtWindow.setLeft(1500);
    EXPECT_EQ(window.logicalPos(), QPoint(100, 20));
    qtWindow.setTop(750);
    EXPECT_EQ(window.logicalPos(), QPoint(100, 50));
}

class QtWindowCaptions : public QtWindowTest, public testing::WithParamInterface<std::u16string> {};

TEST_P(QtWindowCaptions, RoundTripAndShowExactly) {
    window.winId(); // the platform window whose title the user sees
    const std::u16string& caption = GetParam();
    qtWindow.setCaption(caption);
    EXPECT_EQ(qtWindow.Caption(), caption);
    EXPECT_EQ(window.windowHandle()->title(), toQString(caption));
}

INSTANTIATE_TEST_SUITE_P(Captions, QtWindowCaptions,
    testing::Values(u"", u"演示门户", u"a&b", u"&&", u"[*]", u"x [*] y", u"[*][*]", u"[*][*][*]", u"[[*]]",
        u"[*", u"*]", u"门户[*]QZ@800@600", u"  two  blanks  ", std::u16string(1, u'\xD800')));

TEST_F(QtWindowTest, CaptionShowsExactlyWhenTheWindowIsMarkedModified) {
    window.winId();
    qtWindow.setCaption(u"a[*]b");
    window.setWindowModified(true);
    EXPECT_EQ(window.windowHandle()->title(), QStringLiteral("a[*]b"));
}

struct StateCase {
    std::int16_t state;
    Qt::WindowState qtState;
};

class QtWindowStates : public QtWindowTest, public testing::WithParamInterface<StateCase> {};

TEST_P(QtWindowStates, SetAndReadBack) {
    window.show();
    qtWindow.setWindowState(GetParam().state);
    EXPECT_EQ(qtWindow.WindowState(), GetParam().state);
    EXPECT_TRUE(window.windowState().testFlag(GetParam().qtState) || GetParam().qtState == Qt::WindowNoState);
    qtWindow.setWindowState(vbNormal);
    EXPECT_EQ(qtWindow.WindowState(), vbNormal);
    EXPECT_FALSE(window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
}

INSTANTIATE_TEST_SUITE_P(States, QtWindowStates,
    testing::Values(StateCase { vbNormal, Qt::WindowNoState }, StateCase { vbMinimized, Qt::WindowMinimized },
        StateCase { vbMaximized, Qt::WindowMaximized }));

TEST_F(QtWindowTest, RejectsOtherWindowStates) {
    for (const std::int16_t state : std::initializer_list<std::int16_t> { -1, 3, 100 })
        EXPECT_THROW(qtWindow.setWindowState(state), PlatformError) << state;
    EXPECT_EQ(qtWindow.WindowState(), vbNormal);
}

TEST_F(QtWindowTest, HideKeepsTheWindowAliveAndShowBringsItBack) {
    qtWindow.Show();
    EXPECT_TRUE(window.isVisible());
    qtWindow.Hide();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isDestroyed());
    qtWindow.setCaption(u"still here");
    EXPECT_EQ(qtWindow.Caption(), u"still here");
    qtWindow.Show();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(QtWindowTest, SetFocusMakesTheWindowActive) {
    QWidget other;
    other.show();
    other.activateWindow();
    qtWindow.Show();
    qtWindow.SetFocus();
    EXPECT_TRUE(test::waitFor([&] { return window.isActiveWindow(); }));
}

TEST_F(QtWindowTest, HandlesNameTheWindowAndItsIcon) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::blue);
    window.setWindowIcon(QIcon(pixmap));

    const HWND hWnd = qtWindow.hWnd();
    EXPECT_NE(hWnd, 0u);
    EXPECT_EQ(qtWindow.hWnd(), hWnd);
    EXPECT_EQ(handles.window(hWnd), &window);

    const HICON icon = qtWindow.IconHandle();
    EXPECT_NE(icon, 0u);
    EXPECT_NE(icon, hWnd);
    EXPECT_EQ(qtWindow.IconHandle(), icon);
    ASSERT_TRUE(handles.icon(icon).has_value());
    EXPECT_EQ(handles.icon(icon)->cacheKey(), window.windowIcon().cacheKey());
}

TEST_F(QtWindowTest, PrintAddsLinesToTheSurface) {
    qtWindow.Print(u"http://127.0.0.1:8301/api/qz/");
    qtWindow.Print(u"第二行");
    EXPECT_EQ(window.surface()->lines(), QStringList({ "http://127.0.0.1:8301/api/qz/", "第二行" }));
}

// Rows of the surface holding any pixel darker than the background.
std::vector<int> inkedRows(const QImage& image, int width) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < width; ++x) {
            if (qGray(image.pixel(x, y)) < 100) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

TEST_F(QtWindowTest, PrintedLinesStandAtTheTopLeftOneUnderAnother) {
    Surface& surface = *window.surface();
    surface.resize(300, 200);
    qtWindow.Print(u"HHHH");
    const std::vector<int> oneLine = inkedRows(surface.grab().toImage(), 60);
    ASSERT_FALSE(oneLine.empty());
    EXPECT_LT(oneLine.front(), surface.fontMetrics().height());

    qtWindow.Print(u"HHHH");
    const std::vector<int> twoLines = inkedRows(surface.grab().toImage(), 60);
    ASSERT_FALSE(twoLines.empty());
    EXPECT_EQ(twoLines.front(), oneLine.front());
    EXPECT_EQ(twoLines.back(), oneLine.back() + surface.fontMetrics().lineSpacing());
}

TEST_F(QtWindowTest, UnloadRunsTheHandlerAndDestroysTheWindow) {
    int destroyed = 0;
    QObject::connect(&window, &MainWindow::shellDestroyed, [&] { ++destroyed; });
    const HWND hWnd = qtWindow.hWnd();
    int runs = 0;
    qtWindow.onUnload([&](std::int16_t& cancel) {
        ++runs;
        EXPECT_EQ(cancel, 0);
    });
    qtWindow.Show();
    qtWindow.Unload();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(window.isDestroyed());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(handles.window(hWnd), nullptr);
}

TEST_F(QtWindowTest, UnloadKeepsTheWindowWhenTheHandlerCancels) {
    qtWindow.onUnload([](std::int16_t& cancel) { cancel = -1; });
    qtWindow.Show();
    qtWindow.Unload();
    EXPECT_FALSE(window.isDestroyed());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(QtWindowTest, UnloadLetsTheHandlersErrorReachTheCaller) {
    qtWindow.onUnload([](std::int16_t&) { throw PlatformError("message box failed"); });
    qtWindow.Show();
    EXPECT_THROW(qtWindow.Unload(), PlatformError);
    EXPECT_FALSE(window.isDestroyed());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(QtWindowTest, EveryCallOnADestroyedWindowFails) {
    qtWindow.Unload();
    ASSERT_TRUE(window.isDestroyed());
    const MenuItem menu { "mnuTray", "", u"0", "", false };
    const std::vector<std::pair<const char*, std::function<void()>>> calls {
        { "Caption", [&] { qtWindow.Caption(); } },
        { "setCaption", [&] { qtWindow.setCaption(u"x"); } },
        { "Left", [&] { qtWindow.Left(); } },
        { "Top", [&] { qtWindow.Top(); } },
        { "Width", [&] { qtWindow.Width(); } },
        { "Height", [&] { qtWindow.Height(); } },
        { "setLeft", [&] { qtWindow.setLeft(0); } },
        { "setTop", [&] { qtWindow.setTop(0); } },
        { "setWidth", [&] { qtWindow.setWidth(0); } },
        { "setHeight", [&] { qtWindow.setHeight(0); } },
        { "WindowState", [&] { qtWindow.WindowState(); } },
        { "setWindowState", [&] { qtWindow.setWindowState(vbNormal); } },
        { "Show", [&] { qtWindow.Show(); } },
        { "Hide", [&] { qtWindow.Hide(); } },
        { "SetFocus", [&] { qtWindow.SetFocus(); } },
        { "hWnd", [&] { qtWindow.hWnd(); } },
        { "IconHandle", [&] { qtWindow.IconHandle(); } },
        { "PopupMenu", [&] { qtWindow.PopupMenu(menu); } },
        { "Unload", [&] { qtWindow.Unload(); } },
        { "Print", [&] { qtWindow.Print(u"x"); } },
    };
    for (const auto& [name, call] : calls)
        EXPECT_THROW(call(), PlatformError) << name;
    EXPECT_FALSE(window.isVisible());
}

TEST_F(QtWindowTest, PopupMenuWithoutSuchAMenuFails) {
    const MenuItem menu { "mnuTray", "", u"0", "", false };
    EXPECT_THROW(qtWindow.PopupMenu(menu), PlatformError);
}

struct CloseCase {
    const char* name;
    std::function<void(std::int16_t&)> handler;
    bool closes;
    bool reports;
};

class QtWindowCloseRequests : public QtWindowTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(QtWindowCloseRequests, CloseOnlyWhenTheHandlerCompletesWithoutCancel) {
    int runs = 0;
    qtWindow.onUnload([&](std::int16_t& cancel) {
        ++runs;
        EXPECT_EQ(cancel, 0);
        GetParam().handler(cancel);
    });
    window.show();
    errorBoundary().run("Form_Unload", [] {}); // an earlier run's report would hide this one
    testing::internal::CaptureStderr();
    const bool closed = window.close();
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(closed, GetParam().closes);
    EXPECT_EQ(window.isDestroyed(), GetParam().closes);
    EXPECT_EQ(window.isVisible(), !GetParam().closes);
    // Errors end in the boundary, under the handler's name, never in Qt's event delivery.
    EXPECT_EQ(report.find("Form_Unload") != std::string::npos, GetParam().reports) << report;
}

INSTANTIATE_TEST_SUITE_P(CloseRequests, QtWindowCloseRequests,
    testing::Values(CloseCase { "completes", [](std::int16_t&) {}, true, false },
        CloseCase { "cancels", [](std::int16_t& cancel) { cancel = -1; }, false, false },
        CloseCase { "cancelsWithOne", [](std::int16_t& cancel) { cancel = 1; }, false, false },
        CloseCase { "throws", [](std::int16_t&) { throw std::runtime_error("boom"); }, false, true },
        CloseCase { "throwsLeavingCancelZero",
            [](std::int16_t& cancel) {
                cancel = 0;
                throw PlatformError("message box failed");
            },
            false, true }),
    [](const testing::TestParamInfo<CloseCase>& p) { return std::string(p.param.name); });

TEST_F(QtWindowTest, CloseRequestHidingTheWindowLeavesItAlive) {
    qtWindow.onUnload([&](std::int16_t& cancel) {
        qtWindow.Hide();
        cancel = -1;
    });
    window.show();
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isDestroyed());
    qtWindow.Show();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(QtWindowTest, CloseOfADestroyedWindowIsAccepted) {
    int runs = 0;
    qtWindow.onUnload([&](std::int16_t&) { ++runs; });
    window.destroyWindow();
    EXPECT_TRUE(window.close());
    EXPECT_EQ(runs, 0);
}

} // namespace
} // namespace qz
