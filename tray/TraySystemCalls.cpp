#include "TraySystemCalls.h"

#include "platform/Errors.h"

namespace qz {

namespace {
TraySystemCalls* installed = nullptr;

TraySystemCalls& api() {
    if (!installed)
        throw PlatformError("no operating-system calls installed");
    return *installed;
}
} // namespace

void installTraySystemCalls(TraySystemCalls* api) {
    installed = api;
}

BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) {
    return api().Shell_NotifyIconA(message, data);
}

LONG_PTR SetWindowLongA(HWND hWnd, int index, LONG_PTR newValue) {
    return api().SetWindowLongA(hWnd, index, newValue);
}

LRESULT CallWindowProcA(LONG_PTR prevWndProc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return api().CallWindowProcA(prevWndProc, hWnd, message, wParam, lParam);
}

} // namespace qz
