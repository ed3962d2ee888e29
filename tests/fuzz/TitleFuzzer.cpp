// One tick of the title protocol over an arbitrary page title.
#include "FuzzInput.h"
#include "support/FakePlatform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qz;
    test::FakePlatform platform;
    Form1 form(platform.parts());
    form.Form_Load();
    platform.browser.title = fuzz::utf16(data, size);

    bool failed = false;
    try {
        form.Timer1_Timer();
    } catch (const ShellError&) {
        failed = true;
    }

    if (failed || platform.timer.enabled) {
        // A failing tick, or a title without the marker, keeps polling.
        QZ_FUZZ_CHECK(platform.timer.enabled);
        return 0;
    }
    // Sized: everything stayed inside 16-bit twips.
    QZ_FUZZ_CHECK(form.PageWidth >= 1 && form.PageWidth <= 2184);
    QZ_FUZZ_CHECK(form.PageHeight >= 1 && form.PageHeight <= 2184);
    QZ_FUZZ_CHECK(platform.browser.width == form.PageWidth * 15.0f);
    QZ_FUZZ_CHECK(platform.browser.height == form.PageHeight * 15.0f);
    QZ_FUZZ_CHECK(platform.window.width <= 32767 && platform.window.height <= 32767 + 300);
    QZ_FUZZ_CHECK(platform.window.caption.find(u'@') == std::u16string::npos);
    return 0;
}
