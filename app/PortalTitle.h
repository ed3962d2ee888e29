#pragma once

#include <string_view>

namespace qz {

// A portal page names the window's size in its title, "name@width@height", and marks such a title
// with "QZ"; any other "@" belongs to the title.
inline constexpr std::u16string_view kPortalTitleMarker = u"QZ";
inline constexpr char16_t kTitleSizeSeparator = u'@';

constexpr bool carriesWindowSize(std::u16string_view title) {
    return title.find(kPortalTitleMarker) != std::u16string_view::npos;
}

// The title as the caption and a printed page show it: a portal title up to its first "@".
constexpr std::u16string_view titleWithoutSize(std::u16string_view title) {
    return carriesWindowSize(title) ? title.substr(0, title.find(kTitleSizeSeparator)) : title;
}

} // namespace qz
