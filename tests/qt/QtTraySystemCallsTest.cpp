#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <QPixmap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "app/ErrorBoundary.h"
#include "platform/qt/tray/HandleTable.h"
#include "platform/qt/tray/QtTraySystemCalls.h"
#include "platform/qt/tray/TrayPopupPosition.h"
#include "tray/AnsiCodePage.h"

namespace qz {
namespace {

struct Message {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Message&) const = default;
};

std::vector<Message> received;
std::function<void()> whileReceiving;

LRESULT recordingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({ hWnd, message, wParam, lParam });
    if (whileReceiving)
        whileReceiving();
    return 42;
}

LRESULT otherProc(HWND, UINT, WPARAM, LPARAM) {
    return 7;
}

LRESULT throwingProc(HWND, UINT, WPARAM, LPARAM) {
    throw std::runtime_error("procedure failed");
}

void PrintTo(const Message& m, std::ostream* out) {
    *out << "{" << m.hWnd << ", " << m.message << ", " << m.wParam << ", " << m.lParam << "}";
}

LONG_PTR procValue(WNDPROC proc) {
    return reinterpret_cast<LONG_PTR>(proc);
}

class QtTraySystemCallsTest : public testing::Test {
protected:
    QtTraySystemCallsTest() {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::red);
        icon = QIcon(pixmap);
        iconHandle = handles.iconHandle(icon);
        hWnd = handles.addWindow(&window);
        received.clear();
        whileReceiving = nullptr;
    }
    ~QtTraySystemCallsTest() override {
        whileReceiving = nullptr;
        test::flushDeletions();
    }

    NOTIFYICONDATAA record(UINT flags, UINT id = 7) const {
        NOTIFYICONDATAA data {};
        data.cbSize = sizeof(NOTIFYICONDATAA);
        data.hWnd = hWnd;
        data.uID = id;
        data.uFlags = flags;
        data.uCallbackMessage = WM_TRAYNOTIFY;
        data.hIcon = iconHandle;
        return data;
    }

    // A click on the icon as Qt reports it, and the event loop's turn after it.
    void click(UINT id, QSystemTrayIcon::ActivationReason reason) {
        emit win32.trayIcon(hWnd, id)->activated(reason);
        QCoreApplication::processEvents();
    }

    BOOL addIcon(UINT id = 7) {
        const NOTIFYICONDATAA data = record(NIF_ICON | NIF_MESSAGE, id);
        return win32.Shell_NotifyIconA(NIM_ADD, &data);
    }

    HandleTable handles;
    QWidget window;
    QIcon icon;
    HICON iconHandle = 0;
    HWND hWnd = 0;
    TrayPopupPosition popupPosition;
    QtTraySystemCalls win32 { handles, popupPosition };
};

TEST_F(QtTraySystemCallsTest, EachWindowStartsWithItsOwnProcedureAndSwapsReturnTheOldValue) {
    const LONG_PTR first = win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&recordingProc));
    EXPECT_EQ(first, procValue(&QtTraySystemCalls::defaultWindowProc));
    EXPECT_EQ(win32.CallWindowProcA(first, hWnd, 1, 2, 3), 0);

    EXPECT_EQ(win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&otherProc)), procValue(&recordingProc));
    EXPECT_EQ(win32.SetWindowLongA(hWnd, GWL_WNDPROC, first), procValue(&otherProc));
    EXPECT_EQ(win32.SetWindowLongA(hWnd, GWL_WNDPROC, first), first);
}

TEST_F(QtTraySystemCallsTest, ProcedureSlotsAreKeptPerWindowAndPointerSized) {
    QWidget second;
    const HWND secondHandle = handles.addWindow(&second);
    const LONG_PTR wide = static_cast<LONG_PTR>(0x7FED'CBA9'8765'4321);
    win32.SetWindowLongA(hWnd, GWL_WNDPROC, wide);
    EXPECT_EQ(
        win32.SetWindowLongA(secondHandle, GWL_WNDPROC, 0), procValue(&QtTraySystemCalls::defaultWindowProc));
    EXPECT_EQ(win32.SetWindowLongA(hWnd, GWL_WNDPROC, 0), wide);
}

TEST_F(QtTraySystemCallsTest, SlotsOfUnknownWindowsOrOtherIndexesDoNothing) {
    EXPECT_EQ(win32.SetWindowLongA(hWnd + 1000, GWL_WNDPROC, procValue(&otherProc)), 0);
    EXPECT_EQ(win32.SetWindowLongA(hWnd, -16, procValue(&otherProc)), 0);
    EXPECT_EQ(win32.SetWindowLongA(hWnd, GWL_WNDPROC, 0), procValue(&QtTraySystemCalls::defaultWindowProc));
}

TEST_F(QtTraySystemCallsTest, CallWindowProcPassesEverythingAndReturnsTheAnswer) {
    EXPECT_EQ(win32.CallWindowProcA(procValue(&recordingProc), hWnd, 2025, 9, 514), 42);
    EXPECT_EQ(received, std::vector<Message>({ { hWnd, 2025, 9, 514 } }));
    EXPECT_EQ(win32.CallWindowProcA(0, hWnd, 2025, 9, 514), 0);
}

TEST_F(
    QtTraySystemCallsTest, AddShowsTheNamedIconOnceTheEventLoopRunsAndSaysWhetherANotificationAreaHoldsIt) {
    EXPECT_EQ(addIcon(), QSystemTrayIcon::isSystemTrayAvailable() ? 1 : 0);
    QSystemTrayIcon* tray = win32.trayIcon(hWnd, 7);
    ASSERT_NE(tray, nullptr);
    // Docking waits for the event loop, so that an icon added at start-up never holds back the window.
    EXPECT_FALSE(tray->isVisible());
    QCoreApplication::processEvents();
    EXPECT_TRUE(tray->isVisible());
    EXPECT_EQ(tray->icon().cacheKey(), icon.cacheKey());
    EXPECT_EQ(tray->contextMenu(), nullptr);
}

TEST_F(QtTraySystemCallsTest, AddFailsForATakenKeyAnUnknownWindowOrAnUnknownIcon) {
    addIcon();
    EXPECT_EQ(addIcon(), 0);

    NOTIFYICONDATAA unknownWindow = record(NIF_ICON | NIF_MESSAGE, 8);
    unknownWindow.hWnd = hWnd + 1000;
    EXPECT_EQ(win32.Shell_NotifyIconA(NIM_ADD, &unknownWindow), 0);
    EXPECT_EQ(win32.trayIcon(unknownWindow.hWnd, 8), nullptr);

    NOTIFYICONDATAA unknownIcon = record(NIF_ICON | NIF_MESSAGE, 9);
    unknownIcon.hIcon = iconHandle + 1000;
    EXPECT_EQ(win32.Shell_NotifyIconA(NIM_ADD, &unknownIcon), 0);
    EXPECT_EQ(win32.trayIcon(hWnd, 9), nullptr);
}

TEST_F(QtTraySystemCallsTest, ModifySetsTheTipDecodedFromTheAnsiCodePage) {
    addIcon();
    for (const std::u16string& tip :
        { std::u16string(u"qz2010"), std::u16string(u"演示门户 QZ"), std::u16string() }) {
        NOTIFYICONDATAA data = record(NIF_TIP);
        const std::string ansi = toAnsi(tip, 63);
        std::memcpy(data.szTip.data(), ansi.data(), ansi.size());
        EXPECT_EQ(win32.Shell_NotifyIconA(NIM_MODIFY, &data), 1);
        EXPECT_EQ(win32.trayIcon(hWnd, 7)->toolTip(), QString::fromStdU16String(tip));
    }
}

TEST_F(QtTraySystemCallsTest, TipEndsAtTheFieldsEndWithoutANul) {
    addIcon();
    NOTIFYICONDATAA data = record(NIF_TIP);
    data.szTip.fill('a');
    EXPECT_EQ(win32.Shell_NotifyIconA(NIM_MODIFY, &data), 1);
    EXPECT_EQ(win32.trayIcon(hWnd, 7)->toolTip(), QString(64, QLatin1Char('a')));
}

TEST_F(QtTraySystemCallsTest, ModifyOrDeleteOfAMissingIconReturnsFalseAndDoesNothing) {
    NOTIFYICONDATAA data = record(NIF_TIP);
    std::memcpy(data.szTip.data(), "tip", 3);
    EXPECT_EQ(win32.Shell_NotifyIconA(NIM_MODIFY, &data), 0);
    EXPECT_EQ(win32.trayIcon(hWnd, 7), nullptr);
    EXPECT_EQ(win32.Shell_NotifyIconA(NIM_DELETE, &data), 0);

    addIcon();
    NOTIFYICONDATAA otherId = record(NIF_TIP, 8);
    EXPECT_EQ(win32.Shell_NotifyIconA(NIM_MODIFY, &otherId), 0);
    EXPECT_EQ(win32.trayIcon(hWnd, 8), nullptr);
    EXPECT_TRUE(win32.trayIcon(hWnd, 7)->toolTip().isEmpty());
}

TEST_F(QtTraySystemCallsTest, DeleteHidesAndRemovesTheIcon) {
    addIcon();
    QCoreApplication::processEvents();
    QPointer<QSystemTrayIcon> tray = win32.trayIcon(hWnd, 7);
    const NOTIFYICONDATAA data = record(0);
    EXPECT_EQ(win32.Shell_NotifyIconA(NIM_DELETE, &data), 1);
    EXPECT_EQ(win32.trayIcon(hWnd, 7), nullptr);
    ASSERT_FALSE(tray.isNull());
    EXPECT_FALSE(tray->isVisible());
    test::flushDeletions();
    EXPECT_TRUE(tray.isNull());
    EXPECT_EQ(win32.Shell_NotifyIconA(NIM_DELETE, &data), 0);
    addIcon(); // the key is free again
    EXPECT_NE(win32.trayIcon(hWnd, 7), nullptr);
}

TEST_F(QtTraySystemCallsTest, AnIconDeletedBeforeTheEventLoopCameToItIsNeverShown) {
    addIcon();
    const QPointer<QSystemTrayIcon> tray = win32.trayIcon(hWnd, 7);
    const NOTIFYICONDATAA data = record(0);
    EXPECT_EQ(win32.Shell_NotifyIconA(NIM_DELETE, &data), 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(tray.isNull() || !tray->isVisible());
}

struct ActivationCase {
    const char* name;
    QSystemTrayIcon::ActivationReason reason;
    std::vector<LPARAM> mouseMessages;
};

class QtTraySystemCallsActivations : public QtTraySystemCallsTest,
                                     public testing::WithParamInterface<ActivationCase> {};

TEST_P(QtTraySystemCallsActivations, BecomeTheCallbackMessageThroughTheWindowsProcedure) {
    win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&recordingProc));
    addIcon(5);
    click(5, GetParam().reason);
    std::vector<Message> expected;
    for (const LPARAM mouse : GetParam().mouseMessages)
        expected.push_back({ hWnd, WM_TRAYNOTIFY, 5, mouse });
    EXPECT_EQ(received, expected);
}

INSTANTIATE_TEST_SUITE_P(Reasons, QtTraySystemCallsActivations,
    testing::Values(ActivationCase { "Trigger", QSystemTrayIcon::Trigger, { WM_LBUTTONUP } },
        ActivationCase { "Context", QSystemTrayIcon::Context, { WM_RBUTTONUP } },
        ActivationCase { "DoubleClick", QSystemTrayIcon::DoubleClick, { WM_LBUTTONDBLCLK, WM_LBUTTONUP } },
        ActivationCase { "MiddleClick", QSystemTrayIcon::MiddleClick, { WM_MBUTTONUP } },
        ActivationCase { "Unknown", QSystemTrayIcon::Unknown, {} }),
    [](const testing::TestParamInfo<ActivationCase>& p) { return std::string(p.param.name); });

TEST_F(QtTraySystemCallsTest, MessagesGoOutOnlyAfterQtHasHandledTheClick) {
    win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&recordingProc));
    addIcon();
    emit win32.trayIcon(hWnd, 7)->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(received.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(received,
        std::vector<Message>(
            { { hWnd, WM_TRAYNOTIFY, 7, WM_LBUTTONDBLCLK }, { hWnd, WM_TRAYNOTIFY, 7, WM_LBUTTONUP } }));
}

TEST_F(QtTraySystemCallsTest, ActivationGoesToTheProcedureTheSlotHoldsAtThatMoment) {
    addIcon();
    click(7, QSystemTrayIcon::Trigger); // the window's own procedure: nothing recorded
    EXPECT_TRUE(received.empty());

    const LONG_PTR own = win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&recordingProc));
    click(7, QSystemTrayIcon::Context);
    EXPECT_EQ(received, std::vector<Message>({ { hWnd, WM_TRAYNOTIFY, 7, WM_RBUTTONUP } }));

    win32.SetWindowLongA(hWnd, GWL_WNDPROC, own);
    click(7, QSystemTrayIcon::Trigger);
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(QtTraySystemCallsTest, CallbackMessageIsTheOneTheRecordGave) {
    win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&recordingProc));
    NOTIFYICONDATAA data = record(NIF_ICON | NIF_MESSAGE);
    data.uCallbackMessage = 0x8001;
    win32.Shell_NotifyIconA(NIM_ADD, &data);
    click(7, QSystemTrayIcon::Trigger);
    EXPECT_EQ(received, std::vector<Message>({ { hWnd, 0x8001, 7, WM_LBUTTONUP } }));
}

TEST_F(QtTraySystemCallsTest, AnIconAddedWithoutMessageFlagSendsNothing) {
    win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&recordingProc));
    const NOTIFYICONDATAA data = record(NIF_ICON);
    win32.Shell_NotifyIconA(NIM_ADD, &data);
    click(7, QSystemTrayIcon::Trigger);
    EXPECT_TRUE(received.empty());
}

TEST_F(QtTraySystemCallsTest, AThrowingProcedureIsReportedAndDoesNotEscape) {
    win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&throwingProc));
    addIcon();
    errorBoundary().run("TrayWindowProc", [] {}); // an earlier run's report would hide this one
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(click(7, QSystemTrayIcon::DoubleClick));
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("TrayWindowProc: procedure failed"), std::string::npos) << report;
}

TEST_F(QtTraySystemCallsTest, IconRemovedByTheFirstMessageGetsNoSecond) {
    win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&recordingProc));
    addIcon();
    whileReceiving = [this] {
        const NOTIFYICONDATAA data = record(0);
        win32.Shell_NotifyIconA(NIM_DELETE, &data);
    };
    click(7, QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(received, std::vector<Message>({ { hWnd, WM_TRAYNOTIFY, 7, WM_LBUTTONDBLCLK } }));
}

TEST_F(QtTraySystemCallsTest, ADestroyedWindowGetsNoMessages) {
    win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&recordingProc));
    addIcon();
    handles.removeWindow(hWnd);
    click(7, QSystemTrayIcon::Trigger);
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(win32.SetWindowLongA(hWnd, GWL_WNDPROC, 0), 0);
}

// A later start of the shell asks for its window this way, without a click on the icon.
TEST_F(QtTraySystemCallsTest, ActivationAskedForDirectlySendsWhatTheClickWouldAndSaysWhetherItWentOut) {
    win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&recordingProc));
    addIcon(0);
    EXPECT_TRUE(win32.activate(hWnd, 0, QSystemTrayIcon::Trigger));
    EXPECT_EQ(received, std::vector<Message>({ { hWnd, WM_TRAYNOTIFY, 0, WM_LBUTTONUP } }));

    received.clear();
    EXPECT_FALSE(win32.activate(hWnd, 1, QSystemTrayIcon::Trigger));
    EXPECT_FALSE(win32.activate(hWnd, 0, QSystemTrayIcon::Unknown));
    EXPECT_TRUE(received.empty());

    whileReceiving = [] { throw std::runtime_error("procedure failed"); };
    errorBoundary().run("TrayWindowProc", [] {}); // an earlier run's report would hide this one
    testing::internal::CaptureStderr();
    EXPECT_TRUE(win32.activate(hWnd, 0, QSystemTrayIcon::Trigger))
        << "the message went out, though it failed";
    EXPECT_NE(
        testing::internal::GetCapturedStderr().find("TrayWindowProc: procedure failed"), std::string::npos);
    whileReceiving = nullptr;
    errorBoundary().run("TrayWindowProc", [] {}); // nor may this one hide a later test's

    handles.removeWindow(hWnd);
    received.clear();
    EXPECT_FALSE(win32.activate(hWnd, 0, QSystemTrayIcon::Trigger));
    EXPECT_TRUE(received.empty());
}

TEST_F(QtTraySystemCallsTest, ActivationOfARemovedIconSendsNothing) {
    win32.SetWindowLongA(hWnd, GWL_WNDPROC, procValue(&recordingProc));
    addIcon(0);
    const NOTIFYICONDATAA data = record(0, 0);
    win32.Shell_NotifyIconA(NIM_DELETE, &data);
    EXPECT_FALSE(win32.activate(hWnd, 0, QSystemTrayIcon::Trigger));
    EXPECT_TRUE(received.empty());
}

} // namespace
} // namespace qz
