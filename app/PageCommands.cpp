// Commands on the page shown in the main window, and the Internet options.
#include "app/Form1.h"

namespace qz {

void Form1::documentCommand(const std::u16string& command) {
    WebBrowser1.Document()->call(u"execCommand", { command });
}

void Form1::printCommand(std::int32_t commandId) {
    WebBrowser1.SetFocus();
    WebBrowser1.ExecWB(commandId, OLECMDEXECOPT_DODEFAULT);
}

void Form1::Blank_Click() {}

void Form1::Refresh_Click() {
    WebBrowser1.Refresh2();
}

void Form1::Stop_Click() {
    WebBrowser1.Stop();
}

void Form1::InternetSet_Click() {
    m_desktop.Shell(kInternetOptionsCommand, vbNormalFocus);
}

void Form1::CtrC_Click() {
    documentCommand(u"copy");
}

void Form1::CtrlV_Click() {
    documentCommand(u"paste");
}

void Form1::SelectAll_Click() {
    WebBrowser1.Document()->get(u"body")->call(u"focus", {});
    documentCommand(u"SelectAll");
}

void Form1::PrintDo_Click() {
    printCommand(OLECMDID_PRINT);
}

void Form1::PrintView_Click() {
    printCommand(OLECMDID_PRINTPREVIEW);
}

void Form1::PrintSet_Click() {
    printCommand(OLECMDID_PAGESETUP);
}

} // namespace qz
