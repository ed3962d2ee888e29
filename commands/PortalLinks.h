#pragma once

#include <string>
#include <string_view>

namespace qz {

// The portal hosts, whose names are fixed when the shell is built.
enum class PortalHost { Service, Search, Site, Home };

// A portal page that a menu command opens in a new browser window.
struct PortalLink {
    std::string_view handler; // the menu item whose click opens it
    PortalHost host;
    std::u16string_view path; // after the host; for a versioned link, up to and including "?version="
    std::u16string_view tag;
    bool versioned; // the version and "&from=qz" are joined on at each click
};

// The link a menu item opens; std::out_of_range when it opens none.
const PortalLink& portalLink(std::string_view handler);

} // namespace qz
