// Arbitrary text into the 64-byte tip field.
#include "FuzzInput.h"
#include "support/FakePlatform.h"
#include "tray/Module1.h"
#include "tray/SurrogatePairs.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qz;
    static const MenuItem trayMenu { "mnuTray", "", u"0", "", false };
    test::FakePlatform platform;
    AddTrayIcon(platform.window, trayMenu);
    const std::u16string tip = fuzz::utf16(data, size);
    SetTrayTip(tip);

    const auto& field = platform.win32.records.back().szTip;
    const auto nul = std::find(field.begin(), field.end(), '\0');
    QZ_FUZZ_CHECK(nul != field.end());
    QZ_FUZZ_CHECK(std::all_of(nul, field.end(), [](char c) { return c == '\0'; }));

    // Whole double-byte characters only: no lead byte is left without its trail byte.
    const std::size_t length = static_cast<std::size_t>(nul - field.begin());
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(field[i]);
        if (byte >= 0x81 && byte <= 0xFE) {
            QZ_FUZZ_CHECK(i + 1 < length);
            ++i;
        }
    }

    // The wide field holds a prefix of the tip and never half a surrogate pair.
    const auto& wide = Module1.TrayIconData.szTip;
    const std::u16string held(wide.data());
    QZ_FUZZ_CHECK(held.size() <= 63);
    QZ_FUZZ_CHECK(tip.compare(0, held.size(), held) == 0);
    if (!held.empty() && held.size() < tip.size())
        QZ_FUZZ_CHECK(!(isHighSurrogate(held.back()) && isLowSurrogate(tip[held.size()])));
    return 0;
}
