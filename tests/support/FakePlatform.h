#pragma once

#include "app/Form1.h"
#include "platform/Browser.h"
#include "platform/Errors.h"
#include "platform/TraySystemCalls.h"
#include "platform/Window.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qz::test {

// Every platform call in order, as "Operation" or "Operation=argument". A test can make the n-th call of
// an operation from now on fail: the call is recorded, then raises PlatformError.
class CallLog {
public:
    void record(const std::string& operation, const std::string& argument = {});
    void failAt(const std::string& operation, int nth = 1);

    std::vector<std::string> entries;
    std::vector<std::string> operations; // the operation of each entry, as failAt names it
    std::vector<std::string> since(std::size_t mark) const;
    std::size_t count(const std::string& entry) const;

private:
    std::map<std::string, int> m_calls;
    std::map<std::string, int> m_failures;
};

std::string utf8(std::u16string_view text);

class FakeWindow final : public Window {
public:
    explicit FakeWindow(CallLog& log);

    std::u16string Caption() override;
    void setCaption(const std::u16string& text) override;
    float Left() override;
    float Top() override;
    float Width() override;
    float Height() override;
    void setLeft(float twips) override;
    void setTop(float twips) override;
    void setWidth(float twips) override;
    void setHeight(float twips) override;
    std::int16_t WindowState() override;
    void setWindowState(std::int16_t state) override;
    void Show() override;
    void Hide() override;
    void SetFocus() override;
    HWND hWnd() override;
    HICON IconHandle() override;
    void PopupMenu(const MenuItem& menu) override;
    void Unload() override;
    void Print(const std::u16string& text) override;
    void onUnload(UnloadHandler handler) override;

    // A close from the window frame: the unload handler runs as the toolkit would run it.
    void closeFromFrame();

    std::u16string caption;
    float left = 0, top = 0, width = 4995, height = 3510;
    std::int16_t state = vbNormal;
    bool visible = false;
    bool destroyed = false;
    std::vector<std::u16string> printed;
    std::function<void()> duringPopup; // runs inside PopupMenu, as the menu's own loop would

    static constexpr HWND kHandle = 0x00010042;
    static constexpr HICON kIcon = 0x00020017;

private:
    CallLog& m_log;
    UnloadHandler m_unload;
};

class FakeDispatch final : public Dispatch {
public:
    FakeDispatch(CallLog& log, std::string name);
    std::shared_ptr<Dispatch> get(std::u16string_view property) override;
    void call(std::u16string_view method, const std::vector<std::u16string>& args) override;

private:
    CallLog& m_log;
    std::string m_name;
};

class FakeBrowser final : public Browser {
public:
    explicit FakeBrowser(CallLog& log);

    void Navigate(const std::u16string& url) override;
    void Navigate(const std::u16string& url, const std::u16string& flags, const std::u16string& target,
        const std::u16string& postData, const std::u16string& headers) override;
    void Refresh2() override;
    void Stop() override;
    void ExecWB(std::int32_t command, std::int32_t option) override;
    std::shared_ptr<Dispatch> Document() override;
    std::u16string LocationURL() override;
    std::u16string LocationName() override;
    void setToolBar(std::int32_t value) override;
    void setTop(float twips) override;
    void setWidth(float twips) override;
    void setHeight(float twips) override;
    float Width() override;
    float Height() override;
    void SetFocus() override;

    std::u16string title;
    std::u16string url = u"http:///";
    float top = 0, width = 5085, height = 3304;

private:
    CallLog& m_log;
};

class FakeTimer final : public Timer {
public:
    explicit FakeTimer(CallLog& log);
    bool Enabled() override;
    void setEnabled(bool enabled) override;
    std::int32_t Interval() override;

    bool enabled = true;

private:
    CallLog& m_log;
};

class FakeScreen final : public Screen {
public:
    explicit FakeScreen(CallLog& log);
    float Width() override;
    float Height() override;

    float width = 19200, height = 15360; // 1280 x 1024 px

private:
    CallLog& m_log;
};

class FakeDesktop final : public Desktop {
public:
    explicit FakeDesktop(CallLog& log);
    std::int32_t MsgBox(
        const std::u16string& prompt, std::int32_t buttons, const std::u16string& title) override;
    void DoEvents() override;
    std::int64_t Shell(const std::u16string& commandLine, std::int32_t windowStyle) override;
    bool NotificationAreaAvailable() override;

    std::int32_t answer = vbNo;
    bool notificationArea = true;
    int pumpPasses = 0;
    std::function<void()> duringQuestion; // runs while the message box is open
    std::function<void(int pass)> duringPump;

private:
    CallLog& m_log;
};

// The operating-system calls: a notification area that keeps its icons by window and id, and a
// procedure slot per window. Messages reach the window through its current procedure, behind the
// error boundary, as the toolkit layer delivers them.
class FakeTraySystemCalls final : public TraySystemCalls {
public:
    explicit FakeTraySystemCalls(CallLog& log);
    ~FakeTraySystemCalls() override;

    BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) override;
    LONG_PTR SetWindowLongA(HWND hWnd, int index, LONG_PTR newValue) override;
    LRESULT CallWindowProcA(
        LONG_PTR prevWndProc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Delivers a message to the window's current procedure; what reaches the caller is its result, or
    // nothing when the procedure raised an error.
    std::optional<LRESULT> sendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<NOTIFYICONDATAA> records; // every record handed to Shell_NotifyIconA, in order
    std::map<std::pair<HWND, UINT>, NOTIFYICONDATAA> icons; // what the notification area shows
    std::map<HWND, LONG_PTR> procedures;

    // The window's own procedure: records what reaches it and answers 7.
    static LRESULT OwnWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    CallLog& m_log;
};

// A whole fake platform and a main window built on it. Module1's process-wide state is reset.
struct FakePlatform {
    FakePlatform();
    ~FakePlatform();

    FormParts parts();

    CallLog log;
    FakeWindow window { log };
    FakeBrowser browser { log };
    FakeTimer timer { log };
    FakeScreen screen { log };
    FakeDesktop desktop { log };
    FakeTraySystemCalls win32 { log };
};

} // namespace qz::test
