#include "PortalLinks.h"

#include "app/BuildConfig.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace qz {

namespace {
using namespace build;

// The letter case of the paths is part of the address.
constexpr std::array<PortalLink, 14> kPortalLinks { {
    { "mnuTrayQZGo", ServiceHost, u"/qz/Go/?from=qz", u"qzgo", false },
    { "mnuTrayMyQZ", ServiceHost, u"/member/?from=qz", u"myqz", false },
    { "mnuTraySearch", SearchHost, u"/?from=qz", u"search", false },
    { "mnuTraySite", SiteHost, u"/?from=qz", u"site", false },
    { "mnuTrayHelp", ServiceHost, u"/help/?from=qz", u"help", false },
    { "QZGo", ServiceHost, u"/qz/Go/?from=qz", u"qzgo", false },
    { "QZCenter", ServiceHost, u"/member/?from=qz", u"myqz", false },
    { "Search", SearchHost, u"/?from=qz", u"search", false },
    { "Site", SiteHost, u"/?from=qz", u"site", false },
    { "Update", HomeHost, u"/qz/Update/?version=", u"update", true },
    { "HelpArticle", HomeHost, u"/qz/help/?version=", u"help", true },
    { "GuestBook", HomeHost, u"/qz/guestbook/?version=", u"guest", true },
    { "QZIntro", HomeHost, u"/qz/intro/?version=", u"intro", true },
    { "QZOffice", HomeHost, u"/?version=", u"office", true },
} };
} // namespace

const PortalLink& portalLink(std::string_view handler) {
    const auto it = std::find_if(kPortalLinks.begin(), kPortalLinks.end(),
        [handler](const PortalLink& link) { return link.handler == handler; });
    if (it == kPortalLinks.end())
        throw std::out_of_range("no portal link for " + std::string(handler));
    return *it;
}

std::u16string portalAddress(const PortalLink& link, const std::u16string& version) {
    std::u16string address = u"http://";
    address += link.host;
    address += link.path;
    if (link.versioned) {
        address += version;
        address += u"&from=qz";
    }
    return address;
}

} // namespace qz
