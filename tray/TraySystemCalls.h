#pragma once

#include "platform/TraySystemCalls.h"

namespace qz {

// The three calls as the tray code makes them, passed on to the process's one implementation.

// The program and each test install theirs; until then, and after nullptr, every call fails.
void installTraySystemCalls(TraySystemCalls* api);

BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data);
LONG_PTR SetWindowLongA(HWND hWnd, int index, LONG_PTR newValue);
LRESULT CallWindowProcA(LONG_PTR prevWndProc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace qz
