#include "Module1.h"

#include "platform/Errors.h"
#include "tray/AnsiCodePage.h"
#include "tray/SurrogatePairs.h"
#include "tray/TraySystemCalls.h"

#include <algorithm>

namespace qz {

Module1State Module1;

Window& trayForm() {
    // Unset only when the start-up failed before the tray was set up.
    if (!Module1.TrayForm)
        throw PlatformError("the tray has no window");
    return *Module1.TrayForm;
}

namespace {
constexpr DWORD kRecordSize = 88;
constexpr std::size_t kTipChars = 63;

void callNotificationArea(DWORD message) {
    const NOTIFYICONDATAA scratch = Module1.TrayIconData.toAnsi();
    Shell_NotifyIconA(message, &scratch); // the answer is never looked at
    // The call changes nothing in the record, so there is nothing to copy back.
}

void popUpTrayMenu() {
    trayForm().PopupMenu(*Module1.TrayMenu);
}

struct TrayAction {
    LPARAM mouseMessage;
    void (*act)();
};
// Mouse messages on the icon that the shell acts on; the rest go on to the window's own procedure.
constexpr TrayAction kTrayActions[] = {
    { WM_LBUTTONUP, restoreTrayForm },
    { WM_RBUTTONUP, popUpTrayMenu },
};
} // namespace

std::array<char16_t, 64> tipField(std::u16string_view text) {
    std::size_t length = std::min(text.size(), kTipChars);
    if (length == kTipChars && length < text.size() && isHighSurrogate(text[length - 1]))
        --length; // never half a surrogate pair
    std::array<char16_t, 64> field {};
    std::copy_n(text.begin(), length, field.begin());
    return field;
}

void restoreTrayForm() {
    Window& form = trayForm();
    form.setWindowState(vbNormal);
    form.Show();
    form.SetFocus();
}

NOTIFYICONDATAA TrayIconRecord::toAnsi() const {
    NOTIFYICONDATAA ansi {};
    ansi.cbSize = cbSize;
    ansi.hWnd = hWnd;
    ansi.uID = uID;
    ansi.uFlags = uFlags;
    ansi.uCallbackMessage = uCallbackMessage;
    ansi.hIcon = hIcon;
    const auto nul = std::find(szTip.begin(), szTip.end(), u'\0');
    const std::string tip = qz::toAnsi(std::u16string_view(szTip.data(), nul - szTip.begin()), kTipChars);
    std::copy(tip.begin(), tip.end(), ansi.szTip.begin());
    return ansi;
}

void AddTrayIcon(Window& form, const MenuItem& menu) {
    Module1.TrayForm = &form;
    Module1.TrayMenu = &menu;
    // Hook before the icon exists, so no callback message can reach the window unhooked.
    const HWND hWnd = form.hWnd();
    Module1.PrevWndProc = SetWindowLongA(hWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayWindowProc));
    TrayIconRecord& record = Module1.TrayIconData;
    record.uID = 0;
    record.cbSize = kRecordSize;
    record.hWnd = form.hWnd();
    record.hIcon = form.IconHandle();
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.uFlags = NIF_MESSAGE | NIF_ICON;
    callNotificationArea(NIM_ADD);
}

void SetTrayTip(const std::u16string& tip) {
    Module1.TrayIconData.szTip = tipField(tip);
    Module1.TrayIconData.uFlags = NIF_TIP;
    callNotificationArea(NIM_MODIFY);
}

void RemoveTrayIcon() {
    Module1.TrayIconData.uFlags = 0;
    callNotificationArea(NIM_DELETE);
    SetWindowLongA(trayForm().hWnd(), GWL_WNDPROC, Module1.PrevWndProc);
}

LRESULT TrayWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TRAYNOTIFY) {
        for (const TrayAction& action : kTrayActions) {
            if (action.mouseMessage == lParam) {
                action.act();
                return 0;
            }
        }
    }
    return CallWindowProcA(Module1.PrevWndProc, hWnd, message, wParam, lParam);
}

} // namespace qz
