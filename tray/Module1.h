#pragma once

#include "platform/Menu.h"
#include "platform/TraySystemCalls.h"
#include "platform/Window.h"

#include <array>
#include <string>

namespace qz {

// The icon record as the tray holds it: the tip as 64 wide characters. Each call to the notification
// area gets its ANSI form, built afresh just before the call.
struct TrayIconRecord {
    DWORD cbSize = 0;
    HWND hWnd = 0;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = 0;
    std::array<char16_t, 64> szTip {};

    NOTIFYICONDATAA toAnsi() const;
};

// The tip field for a text: at most 63 characters followed by a NUL, never ending in half a
// surrogate pair.
std::array<char16_t, 64> tipField(std::u16string_view text);

// Process-wide tray state. Filled once by AddTrayIcon and never cleared.
struct Module1State {
    TrayIconRecord TrayIconData;
    LONG_PTR PrevWndProc = 0;
    Window* TrayForm = nullptr;
    const MenuItem* TrayMenu = nullptr;
};
extern Module1State Module1;

// The window the tray acts on; PlatformError before AddTrayIcon has named it.
Window& trayForm();

void AddTrayIcon(Window& form, const MenuItem& menu);
void SetTrayTip(const std::u16string& tip);
void RemoveTrayIcon();

// The procedure put in front of the main window's own: a left button up on the icon restores the
// window, a right button up pops up the tray menu, everything else goes on unchanged.
LRESULT TrayWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace qz
