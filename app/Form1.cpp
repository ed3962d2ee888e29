#include "Form1.h"

#include "app/BuildConfig.h"
#include "app/Int16.h"
#include "app/Numeric.h"
#include "app/PortalTitle.h"
#include "commands/MenuTree.h"
#include "platform/Geometry.h"
#include "tray/Module1.h"

#include <cmath>
#include <vector>

namespace qz {

namespace {
constexpr std::u16string_view kDefaultSuffix = u"@800@600";
constexpr std::int16_t kDefaultWidth = 800;
constexpr std::int16_t kDefaultHeight = 600;
constexpr int kExitPumpPasses = 5001;

// Cuts the text at every "@", empty pieces included.
std::vector<std::u16string> cutAtSeparator(const std::u16string& text) {
    std::vector<std::u16string> pieces;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(kTitleSizeSeparator, start)) != std::u16string::npos; start = at + 1)
        pieces.push_back(text.substr(start, at - start));
    pieces.push_back(text.substr(start));
    return pieces;
}
} // namespace

std::int16_t CInt(const Variant& value) {
    return std::visit([](auto v) { return CInt16(static_cast<double>(v)); }, value);
}

Form1::Form1(FormParts parts)
    : m_window(parts.window)
    , WebBrowser1(parts.WebBrowser1)
    , Timer1(parts.Timer1)
    , m_screen(parts.screen)
    , m_desktop(parts.desktop) {
    m_window.onUnload([this](std::int16_t& cancel) { Form_Unload(cancel); });
}

std::u16string Form1::Version() const {
    return build::VersionText;
}

Variant Form1::FC_CLng(std::u16string_view x) const {
    if (const auto value = numericValue(x))
        return std::trunc(*value);
    return std::int16_t { 0 };
}

const MenuItem& Form1::mnuTray() const {
    return menuItem("mnuTray");
}

void Form1::Form_Load() {
    WebBrowser1.setTop(0);
    std::u16string address = build::PortalScheme;
    address += u"://";
    address += build::ServiceHost;
    address += u"/api/qz/?from=qz&version=";
    address += Version();
    WebBrowser1.Navigate(address);
    m_window.Print(WebBrowser1.LocationURL());
    AddTrayIcon(m_window, mnuTray());
    SetTrayTip(u"qz2010");
}

void Form1::Timer1_Timer() {
    m_window.setCaption(WebBrowser1.LocationName());
    str1 = m_window.Caption();
    if (!carriesWindowSize(str1)) {
        m_window.setCaption(str1);
        return;
    }
    m_window.setCaption(std::u16string(titleWithoutSize(str1)));

    str1 += kDefaultSuffix;
    PageWidth = CInt(FC_CLng(cutAtSeparator(str1)[1]));
    PageHeight = CInt(FC_CLng(cutAtSeparator(str1)[2]));
    if (PageWidth < 1)
        PageWidth = kDefaultWidth;
    if (PageHeight < 1)
        PageHeight = kDefaultHeight;

    WebBrowser1.setTop(0);
    WebBrowser1.setToolBar(0);
    WebBrowser1.setWidth(Mul16(PageWidth, kTwipsPerPixel));
    WebBrowser1.setHeight(Mul16(PageHeight, kTwipsPerPixel));
    m_window.setWidth(WebBrowser1.Width());
    m_window.setHeight(WebBrowser1.Height() + kMenuBarTwips);

    // The screen is read before the window, each in its own statement: the order of the calls is fixed.
    const float screenWidth = m_screen.Width();
    m_window.setLeft((screenWidth - m_window.Width()) / 2);
    const float screenHeight = m_screen.Height();
    m_window.setTop((screenHeight - m_window.Height()) / 2);

    Timer1.setEnabled(false);
    SetTrayTip(m_window.Caption());
}

void Form1::Form_Unload(std::int16_t& Cancel) {
    if (ExitRequested != 1) {
        // Without a notification area a hidden window could never be brought back: minimize instead.
        if (m_desktop.NotificationAreaAvailable())
            m_window.Hide();
        else
            m_window.setWindowState(vbMinimized);
        Cancel = -1;
        return;
    }
    ExitRequested = 0;
    Cancel = -1;
    if (m_desktop.MsgBox(u"你真的要退出QZ吗？", vbYesNo, u"请确认") != vbYes)
        return;
    RemoveTrayIcon();
    for (int pass = 0; pass < kExitPumpPasses; ++pass)
        m_desktop.DoEvents();
    Cancel = 0;
}

void Form1::Form_EndSession() {
    RemoveTrayIcon();
}

void Form1::Exit_Click() {
    ExitRequested = 1;
    m_window.Unload();
}

void Form1::mnuTrayClose_Click() {
    ExitRequested = 1;
    m_window.Unload();
}

void Form1::mnuTrayOpen_Click() {
    restoreTrayForm();
}

} // namespace qz
