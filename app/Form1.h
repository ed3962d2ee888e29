#pragma once

#include "app/FormDescription.h"
#include "platform/Browser.h"
#include "platform/Menu.h"
#include "platform/Window.h"

#include <cstdint>
#include <string>
#include <variant>

namespace qz {

struct PortalLink;

// The result of FC_CLng: a double when the text is numeric, the 16-bit integer 0 otherwise.
using Variant = std::variant<std::int16_t, double>;

// Converts a general value to a 16-bit integer; OverflowError outside -32768..32767.
std::int16_t CInt(const Variant& value);

// The services the main window is made of: itself, its browser control, its timer, the screen and
// the desktop (message box, message pump, process start).
struct FormParts {
    Window& window;
    Browser& WebBrowser1;
    Timer& Timer1;
    Screen& screen;
    Desktop& desktop;
};

// The main window's state and handlers. Handlers trap no errors: a failing call or an overflow ends
// the handler at that step, and what was done before stays done.
class Form1 {
public:
    static constexpr FormDescription Description = kFormDescription;

    explicit Form1(FormParts parts);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    std::u16string Version() const;
    Variant FC_CLng(std::u16string_view x) const;

    void Form_Load();
    void Timer1_Timer();
    void Form_Unload(std::int16_t& Cancel);
    // The session ends (log-off, shut-down, a termination signal): the icon goes, the window follows,
    // without asking.
    void Form_EndSession();

    // Close, hide and exit.
    void Exit_Click();
    void mnuTrayClose_Click();
    void mnuTrayOpen_Click();

    // Portal links, each opened in a new browser window.
    void mnuTrayQZGo_Click();
    void mnuTrayMyQZ_Click();
    void mnuTraySearch_Click();
    void mnuTraySite_Click();
    void mnuTrayHelp_Click();
    void QZGo_Click();
    void QZCenter_Click();
    void Search_Click();
    void Site_Click();
    void Update_Click();
    void HelpArticle_Click();
    void GuestBook_Click();
    void QZIntro_Click();
    void QZOffice_Click();

    // Page commands.
    void Blank_Click();
    void Refresh_Click();
    void Stop_Click();
    void InternetSet_Click();
    void CtrC_Click();
    void CtrlV_Click();
    void SelectAll_Click();
    void PrintDo_Click();
    void PrintView_Click();
    void PrintSet_Click();

    const MenuItem& mnuTray() const;

    std::u16string str1;
    std::int16_t PageWidth = 0;
    std::int16_t PageHeight = 0;
    std::int16_t ExitRequested = 0;

private:
    void openPortalLink(const PortalLink& link);
    void documentCommand(const std::u16string& command);
    void printCommand(std::int32_t commandId);

    Window& m_window;
    Browser& WebBrowser1;
    Timer& Timer1;
    Screen& m_screen;
    Desktop& m_desktop;
};

} // namespace qz
