#pragma once

#include <string_view>

namespace qz {

// The portal hosts, whose names are fixed when the shell is built.
enum class PortalHost { Service, Search, Site, Home };

// A portal page that a menu command opens in a new browser window.
struct PortalLink {
    PortalHost host;
    std::u16string_view path; // after the host; for a versioned link, up to and including "?version="
    std::u16string_view tag;
    bool versioned; // the version and "&from=qz" are joined on at each click
};

// One link per menu item that opens one, named after the item, so that a misspelt name does not
// compile. The letter case of the paths is part of the address.
namespace portalLinks {
inline constexpr PortalLink mnuTrayQZGo { PortalHost::Service, u"/qz/Go/?from=qz", u"qzgo", false };
inline constexpr PortalLink mnuTrayMyQZ { PortalHost::Service, u"/member/?from=qz", u"myqz", false };
inline constexpr PortalLink mnuTraySearch { PortalHost::Search, u"/?from=qz", u"search", false };
inline constexpr PortalLink mnuTraySite { PortalHost::Site, u"/?from=qz", u"site", false };
inline constexpr PortalLink mnuTrayHelp { PortalHost::Service, u"/help/?from=qz", u"help", false };
// The product menu opens the same pages, with the same tags, as the tray menu.
inline constexpr const PortalLink& QZGo = mnuTrayQZGo;
inline constexpr const PortalLink& QZCenter = mnuTrayMyQZ;
inline constexpr const PortalLink& Search = mnuTraySearch;
inline constexpr const PortalLink& Site = mnuTraySite;
inline constexpr PortalLink Update { PortalHost::Home, u"/qz/Update/?version=", u"update", true };
inline constexpr PortalLink HelpArticle { PortalHost::Home, u"/qz/help/?version=", u"help", true };
inline constexpr PortalLink GuestBook { PortalHost::Home, u"/qz/guestbook/?version=", u"guest", true };
inline constexpr PortalLink QZIntro { PortalHost::Home, u"/qz/intro/?version=", u"intro", true };
inline constexpr PortalLink QZOffice { PortalHost::Home, u"/?version=", u"office", true };
} // namespace portalLinks

} // namespace qz
