// Arbitrary messages through the tray window procedure.
#include "FuzzInput.h"
#include "support/FakePlatform.h"
#include "tray/Module1.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qz;
    static const MenuItem trayMenu { "mnuTray", "", u"0", "", false };
    test::FakePlatform platform;
    AddTrayIcon(platform.window, trayMenu);

    // Each 12 bytes are one message: number, wParam, lParam.
    for (std::size_t at = 0; at + 12 <= size; at += 12) {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::memcpy(&message, data + at, 4);
        std::memcpy(&wParam, data + at + 4, 4);
        std::memcpy(&lParam, data + at + 8, 4);
        const std::size_t shows = platform.log.count("Form1.Show");
        const auto result = platform.win32.sendMessage(test::FakeWindow::kHandle, message, wParam, lParam);
        QZ_FUZZ_CHECK(result.has_value());
        const bool acts = message == WM_TRAYNOTIFY && (lParam == WM_LBUTTONUP || lParam == WM_RBUTTONUP);
        QZ_FUZZ_CHECK(acts ? *result == 0 : *result == 7); // the window's own procedure answers 7
        QZ_FUZZ_CHECK(
            platform.log.count("Form1.Show") == shows + (message == WM_TRAYNOTIFY && lParam == WM_LBUTTONUP));
    }
    return 0;
}
