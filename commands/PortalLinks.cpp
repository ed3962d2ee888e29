#include "PortalLinks.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace qz {

namespace {
using enum PortalHost;

// The letter case of the paths is part of the address.
constexpr std::array<PortalLink, 14> kPortalLinks { {
    { "mnuTrayQZGo", Service, u"/qz/Go/?from=qz", u"qzgo", false },
    { "mnuTrayMyQZ", Service, u"/member/?from=qz", u"myqz", false },
    { "mnuTraySearch", Search, u"/?from=qz", u"search", false },
    { "mnuTraySite", Site, u"/?from=qz", u"site", false },
    { "mnuTrayHelp", Service, u"/help/?from=qz", u"help", false },
    { "QZGo", Service, u"/qz/Go/?from=qz", u"qzgo", false },
    { "QZCenter", Service, u"/member/?from=qz", u"myqz", false },
    { "Search", Search, u"/?from=qz", u"search", false },
    { "Site", Site, u"/?from=qz", u"site", false },
    { "Update", Home, u"/qz/Update/?version=", u"update", true },
    { "HelpArticle", Home, u"/qz/help/?version=", u"help", true },
    { "GuestBook", Home, u"/qz/guestbook/?version=", u"guest", true },
    { "QZIntro", Home, u"/qz/intro/?version=", u"intro", true },
    { "QZOffice", Home, u"/?version=", u"office", true },
} };
} // namespace

const PortalLink& portalLink(std::string_view handler) {
    const auto it = std::find_if(kPortalLinks.begin(), kPortalLinks.end(),
        [handler](const PortalLink& link) { return link.handler == handler; });
    if (it == kPortalLinks.end())
        throw std::out_of_range("no portal link for " + std::string(handler));
    return *it;
}

} // namespace qz
