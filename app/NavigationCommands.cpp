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

void Form1::openPortalLink(const PortalLink& link) {
    std::u16string address = build::PortalScheme;
    address += u"://";
    address += hostName(link.host);
    address += link.path;
    if (link.versioned) {
        address += Version();
        address += u"&from=qz";
    }
    WebBrowser1.Navigate(address, std::u16string(link.tag), u"_blank", u"", u"");
}

void Form1::mnuTrayQZGo_Click() {
    openPortalLink(portalLinks::mnuTrayQZGo);
}
void Form1::mnuTrayMyQZ_Click() {
    openPortalLink(portalLinks::mnuTrayMyQZ);
}
void Form1::mnuTraySearch_Click() {
    openPortalLink(portalLinks::mnuTraySearch);
}
void Form1::mnuTraySite_Click() {
    openPortalLink(portalLinks::mnuTraySite);
}
void Form1::mnuTrayHelp_Click() {
    openPortalLink(portalLinks::mnuTrayHelp);
}
void Form1::QZGo_Click() {
    openPortalLink(portalLinks::QZGo);
}
void Form1::QZCenter_Click() {
    openPortalLink(portalLinks::QZCenter);
}
void Form1::Search_Click() {
    openPortalLink(portalLinks::Search);
}
void Form1::Site_Click() {
    openPortalLink(portalLinks::Site);
}
void Form1::Update_Click() {
    openPortalLink(portalLinks::Update);
}
void Form1::HelpArticle_Click() {
    openPortalLink(portalLinks::HelpArticle);
}
void Form1::GuestBook_Click() {
    openPortalLink(portalLinks::GuestBook);
}
void Form1::QZIntro_Click() {
    openPortalLink(portalLinks::QZIntro);
}
void Form1::QZOffice_Click() {
    openPortalLink(portalLinks::QZOffice);
}

} // namespace qz
