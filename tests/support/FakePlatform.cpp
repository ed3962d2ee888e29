#include "FakePlatform.h"

#include "app/FormEvents.h"
#include "platform/Errors.h"
#include "tray/Module1.h"
#include "tray/SurrogatePairs.h"
#include "tray/TraySystemCalls.h"

#include <algorithm>
#include <iostream>
#include <sstream>
#include <utility>

namespace qz::test {

namespace {
std::string number(float value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string number(std::int64_t value) {
    return std::to_string(value);
}

FakeTraySystemCalls* activeSystemCalls = nullptr;
} // namespace

std::string utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (isHighSurrogate(text[i]) && i + 1 < text.size()) {
            c = codePointOfPair(text[i], text[i + 1]);
            ++i;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void CallLog::record(const std::string& operation, const std::string& argument) {
    entries.push_back(
        argument.empty() ? operation : operation + (operation.ends_with('=') ? "" : "=") + argument);
    operations.push_back(operation);
    const int n = ++m_calls[operation];
    if (auto it = m_failures.find(operation); it != m_failures.end() && it->second == n)
        throw PlatformError(operation + " failed");
}

void CallLog::failAt(const std::string& operation, int nth) {
    m_failures[operation] = m_calls[operation] + nth;
}

std::vector<std::string> CallLog::since(std::size_t mark) const {
    return { entries.begin() + static_cast<std::ptrdiff_t>(std::min(mark, entries.size())), entries.end() };
}

std::size_t CallLog::count(const std::string& entry) const {
    return static_cast<std::size_t>(std::count(entries.begin(), entries.end(), entry));
}

// --- window ---

FakeWindow::FakeWindow(CallLog& log)
    : m_log(log) {}

std::u16string FakeWindow::Caption() {
    m_log.record("Form1.Caption");
    return caption;
}

void FakeWindow::setCaption(const std::u16string& text) {
    m_log.record("Form1.Caption=", utf8(text));
    caption = text;
}

float FakeWindow::Left() {
    m_log.record("Form1.Left");
    return left;
}

float FakeWindow::Top() {
    m_log.record("Form1.Top");
    return top;
}

float FakeWindow::Width() {
    m_log.record("Form1.Width");
    return width;
}

float FakeWindow::Height() {
    m_log.record("Form1.Height");
    return height;
}

void FakeWindow::setLeft(float twips) {
    m_log.record("Form1.Left=", number(twips));
    left = twips;
}

void FakeWindow::setTop(float twips) {
    m_log.record("Form1.Top=", number(twips));
    top = twips;
}

void FakeWindow::setWidth(float twips) {
    m_log.record("Form1.Width=", number(twips));
    width = twips;
}

void FakeWindow::setHeight(float twips) {
    m_log.record("Form1.Height=", number(twips));
    height = twips;
}

std::int16_t FakeWindow::WindowState() {
    m_log.record("Form1.WindowState");
    return state;
}

void FakeWindow::setWindowState(std::int16_t value) {
    m_log.record("Form1.WindowState=", number(std::int64_t { value }));
    state = value;
}

void FakeWindow::Show() {
    m_log.record("Form1.Show");
    visible = true;
}

void FakeWindow::Hide() {
    m_log.record("Form1.Hide");
    visible = false;
}

void FakeWindow::SetFocus() {
    m_log.record("Form1.SetFocus");
}

HWND FakeWindow::hWnd() {
    m_log.record("Form1.hWnd");
    return kHandle;
}

HICON FakeWindow::IconHandle() {
    m_log.record("Form1.Icon.Handle");
    return kIcon;
}

void FakeWindow::PopupMenu(const MenuItem& menu) {
    m_log.record("Form1.PopupMenu", std::string(menu.name));
    if (duringPopup)
        duringPopup();
}

void FakeWindow::Unload() {
    m_log.record("Form1.Unload");
    std::int16_t cancel = 0;
    m_unload(cancel);
    if (cancel == 0) {
        destroyed = true;
        visible = false;
        m_log.record("Form1.destroyed");
    }
}

void FakeWindow::Print(const std::u16string& text) {
    m_log.record("Form1.Print", utf8(text));
    printed.push_back(text);
}

void FakeWindow::onUnload(UnloadHandler handler) {
    m_unload = std::move(handler);
}

void FakeWindow::closeFromFrame() {
    if (FormEvents::closeRequested(m_unload)) {
        destroyed = true;
        visible = false;
    }
}

// --- browser ---

FakeDispatch::FakeDispatch(CallLog& log, std::string name)
    : m_log(log)
    , m_name(std::move(name)) {}

std::shared_ptr<Dispatch> FakeDispatch::get(std::u16string_view property) {
    const std::string name = utf8(property);
    m_log.record(m_name + "." + name);
    return std::make_shared<FakeDispatch>(m_log, name);
}

void FakeDispatch::call(std::u16string_view method, const std::vector<std::u16string>& args) {
    std::string joined;
    for (const auto& arg : args)
        joined += (joined.empty() ? "" : ",") + utf8(arg);
    m_log.record(m_name + "." + utf8(method) + "(" + joined + ")");
}

FakeBrowser::FakeBrowser(CallLog& log)
    : m_log(log) {}

void FakeBrowser::Navigate(const std::u16string& address) {
    m_log.record("WebBrowser1.Navigate", utf8(address));
    url = address;
}

void FakeBrowser::Navigate(const std::u16string& address, const std::u16string& flags,
    const std::u16string& target, const std::u16string& postData, const std::u16string& headers) {
    m_log.record("WebBrowser1.Navigate",
        utf8(address) + "|" + utf8(flags) + "|" + utf8(target) + "|" + utf8(postData) + "|" + utf8(headers));
}

void FakeBrowser::Refresh2() {
    m_log.record("WebBrowser1.Refresh2");
}

void FakeBrowser::Stop() {
    m_log.record("WebBrowser1.Stop");
}

void FakeBrowser::ExecWB(std::int32_t command, std::int32_t option) {
    m_log.record("WebBrowser1.ExecWB", std::to_string(command) + "," + std::to_string(option));
}

std::shared_ptr<Dispatch> FakeBrowser::Document() {
    m_log.record("WebBrowser1.Document");
    return std::make_shared<FakeDispatch>(m_log, "Document");
}

std::u16string FakeBrowser::LocationURL() {
    m_log.record("WebBrowser1.LocationURL");
    return url;
}

std::u16string FakeBrowser::LocationName() {
    m_log.record("WebBrowser1.LocationName");
    return title;
}

void FakeBrowser::setToolBar(std::int32_t value) {
    m_log.record("WebBrowser1.ToolBar=", std::to_string(value));
}

void FakeBrowser::setTop(float twips) {
    m_log.record("WebBrowser1.Top=", number(twips));
    top = twips;
}

void FakeBrowser::setWidth(float twips) {
    m_log.record("WebBrowser1.Width=", number(twips));
    width = twips;
}

void FakeBrowser::setHeight(float twips) {
    m_log.record("WebBrowser1.Height=", number(twips));
    height = twips;
}

float FakeBrowser::Width() {
    m_log.record("WebBrowser1.Width");
    return width;
}

float FakeBrowser::Height() {
    m_log.record("WebBrowser1.Height");
    return height;
}

void FakeBrowser::SetFocus() {
    m_log.record("WebBrowser1.SetFocus");
}

// --- timer, screen, desktop ---

FakeTimer::FakeTimer(CallLog& log)
    : m_log(log) {}

bool FakeTimer::Enabled() {
    m_log.record("Timer1.Enabled");
    return enabled;
}

void FakeTimer::setEnabled(bool value) {
    m_log.record("Timer1.Enabled=", value ? "True" : "False");
    enabled = value;
}

std::int32_t FakeTimer::Interval() {
    m_log.record("Timer1.Interval");
    return 500;
}

FakeScreen::FakeScreen(CallLog& log)
    : m_log(log) {}

float FakeScreen::Width() {
    m_log.record("Screen.Width");
    return width;
}

float FakeScreen::Height() {
    m_log.record("Screen.Height");
    return height;
}

FakeDesktop::FakeDesktop(CallLog& log)
    : m_log(log) {}

std::int32_t FakeDesktop::MsgBox(
    const std::u16string& prompt, std::int32_t buttons, const std::u16string& title) {
    m_log.record("MsgBox", utf8(prompt) + "|" + std::to_string(buttons) + "|" + utf8(title));
    if (duringQuestion)
        duringQuestion();
    return answer;
}

void FakeDesktop::DoEvents() {
    const int pass = pumpPasses++;
    if (pass == 0)
        m_log.record("DoEvents"); // one entry for the first pass; pumpPasses counts them all
    if (duringPump)
        duringPump(pass);
}

std::int64_t FakeDesktop::Shell(const std::u16string& commandLine, std::int32_t windowStyle) {
    m_log.record("Shell", utf8(commandLine) + "|" + std::to_string(windowStyle));
    return 4242;
}

bool FakeDesktop::NotificationAreaAvailable() {
    m_log.record("NotificationAreaAvailable");
    return notificationArea;
}

// --- operating-system calls ---

FakeTraySystemCalls::FakeTraySystemCalls(CallLog& log)
    : m_log(log) {
    activeSystemCalls = this;
    installTraySystemCalls(this);
    procedures[FakeWindow::kHandle] = reinterpret_cast<LONG_PTR>(&OwnWindowProc);
}

FakeTraySystemCalls::~FakeTraySystemCalls() {
    installTraySystemCalls(nullptr);
    activeSystemCalls = nullptr;
}

BOOL FakeTraySystemCalls::Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) {
    static const char* const names[] = { "NIM_ADD", "NIM_MODIFY", "NIM_DELETE" };
    m_log.record("Shell_NotifyIconA", message < 3 ? names[message] : std::to_string(message));
    records.push_back(*data);
    const auto key = std::make_pair(data->hWnd, data->uID);
    const bool present = icons.count(key) != 0;
    switch (message) {
    case NIM_ADD:
        if (present)
            return 0;
        icons[key] = *data;
        return 1;
    case NIM_MODIFY:
        if (!present)
            return 0;
        if (data->uFlags & NIF_TIP)
            icons[key].szTip = data->szTip;
        return 1;
    case NIM_DELETE:
        return static_cast<BOOL>(icons.erase(key));
    default:
        return 0;
    }
}

LONG_PTR FakeTraySystemCalls::SetWindowLongA(HWND hWnd, int index, LONG_PTR newValue) {
    m_log.record("SetWindowLongA", std::to_string(hWnd) + "," + std::to_string(index));
    if (index != GWL_WNDPROC)
        return 0;
    return std::exchange(procedures[hWnd], newValue);
}

LRESULT FakeTraySystemCalls::CallWindowProcA(
    LONG_PTR prevWndProc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    m_log.record("CallWindowProcA", std::to_string(message) + "," + std::to_string(lParam));
    return reinterpret_cast<WNDPROC>(prevWndProc)(hWnd, message, wParam, lParam);
}

std::optional<LRESULT> FakeTraySystemCalls::sendMessage(
    HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return FormEvents::trayMessage(procedures.at(hWnd), hWnd, message, wParam, lParam);
}

LRESULT FakeTraySystemCalls::OwnWindowProc(HWND, UINT message, WPARAM, LPARAM lParam) {
    activeSystemCalls->m_log.record("OwnWindowProc", std::to_string(message) + "," + std::to_string(lParam));
    return 7;
}

// --- the whole platform ---

FakePlatform::FakePlatform() {
    Module1 = Module1State {};
}

FakePlatform::~FakePlatform() {
    Module1 = Module1State {};
}

FormParts FakePlatform::parts() {
    return FormParts { window, browser, timer, screen, desktop };
}

} // namespace qz::test
