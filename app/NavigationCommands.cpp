// The portal links of the tray menu and the menu bar: each opens its page in a new browser window.
#include "app/BuildConfig.h"
#include "app/Form1.h"
#include "commands/PortalLinks.h"

namespace qz {

namespace {
std::u16string_view hostName(PortalHost host) {
    switch (host) {
    case PortalHost::Service:
        return build::ServiceHost;
    case PortalHost::Search:
        return build::SearchHost;
    case PortalHost::Site:
        return build::SiteHost;
    case PortalHost::Home:
        return build::HomeHost;
    }
    return {};
}
} // namespace

void Form1::openPortalLink(std::string_view handler) {
    const PortalLink& link = portalLink(handler);
    std::u16string address = u"http://";
    address += hostName(link.host);
    address += link.path;
    if (link.versioned) {
        address += Version();
        address += u"&from=qz";
    }
    WebBrowser1.Navigate(address, std::u16string(link.tag), u"_blank", u"", u"");
}

void Form1::mnuTrayQZGo_Click() {
    openPortalLink("mnuTrayQZGo");
}
void Form1::mnuTrayMyQZ_Click() {
    openPortalLink("mnuTrayMyQZ");
}
void Form1::mnuTraySearch_Click() {
    openPortalLink("mnuTraySearch");
}
void Form1::mnuTraySite_Click() {
    openPortalLink("mnuTraySite");
}
void Form1::mnuTrayHelp_Click() {
    openPortalLink("mnuTrayHelp");
}
void Form1::QZGo_Click() {
    openPortalLink("QZGo");
}
void Form1::QZCenter_Click() {
    openPortalLink("QZCenter");
}
void Form1::Search_Click() {
    openPortalLink("Search");
}
void Form1::Site_Click() {
    openPortalLink("Site");
}
void Form1::Update_Click() {
    openPortalLink("Update");
}
void Form1::HelpArticle_Click() {
    openPortalLink("HelpArticle");
}
void Form1::GuestBook_Click() {
    openPortalLink("GuestBook");
}
void Form1::QZIntro_Click() {
    openPortalLink("QZIntro");
}
void Form1::QZOffice_Click() {
    openPortalLink("QZOffice");
}

} // namespace qz
