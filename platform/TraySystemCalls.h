#pragma once

#include <array>
#include <cstdint>

// Stand-ins for the three operating-system calls the tray uses, in the shapes the tray code expects.
// The toolkit layer serves them (a notification-area icon and a per-window procedure slot); the unit
// tests serve them with a recording fake.
namespace qz {

using BOOL = std::int32_t;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using HWND = std::uint32_t; // window handles are 32-bit in the icon record
using HICON = std::uint32_t;
using WPARAM = std::uint32_t;
using LPARAM = std::int32_t;
using LRESULT = std::int32_t;
// Window procedure values are pointer-sized: a 32-bit store of a 64-bit address would corrupt it.
using LONG_PTR = std::intptr_t;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// After <windows.h> (which leaves out GWL_WNDPROC in 64-bit builds), the constants it defines are its
// macros, of the same values; the checks below hold either way.
#ifndef NIM_ADD
inline constexpr DWORD NIM_ADD = 0;
inline constexpr DWORD NIM_MODIFY = 1;
inline constexpr DWORD NIM_DELETE = 2;
inline constexpr UINT NIF_MESSAGE = 1;
inline constexpr UINT NIF_ICON = 2;
inline constexpr UINT NIF_TIP = 4;
#endif
#ifndef GWL_WNDPROC
inline constexpr int GWL_WNDPROC = -4;
#endif
#ifndef WM_LBUTTONUP
inline constexpr LPARAM WM_LBUTTONUP = 514;
inline constexpr LPARAM WM_LBUTTONDBLCLK = 515;
inline constexpr LPARAM WM_RBUTTONUP = 517;
inline constexpr LPARAM WM_RBUTTONDBLCLK = 518;
inline constexpr LPARAM WM_MBUTTONUP = 520;
inline constexpr LPARAM WM_MBUTTONDBLCLK = 521;
#endif
static_assert(NIM_ADD == 0 && NIM_MODIFY == 1 && NIM_DELETE == 2);
static_assert(NIF_MESSAGE == 1 && NIF_ICON == 2 && NIF_TIP == 4 && GWL_WNDPROC == -4);
static_assert(
    WM_LBUTTONUP == 514 && WM_LBUTTONDBLCLK == 515 && WM_RBUTTONUP == 517 && WM_RBUTTONDBLCLK == 518);
static_assert(WM_MBUTTONUP == 520 && WM_MBUTTONDBLCLK == 521);

inline constexpr UINT WM_TRAYNOTIFY = 2025;

// The first, 88-byte ANSI form of the notification icon record.
struct NOTIFYICONDATAA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    std::array<char, 64> szTip; // ANSI code page text, NUL inside the field
};
static_assert(sizeof(NOTIFYICONDATAA) == 88);

class TraySystemCalls {
public:
    virtual ~TraySystemCalls() = default;
    virtual BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) = 0;
    virtual LONG_PTR SetWindowLongA(HWND hWnd, int index, LONG_PTR newValue) = 0;
    virtual LRESULT CallWindowProcA(
        LONG_PTR prevWndProc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
        = 0;
};

} // namespace qz
