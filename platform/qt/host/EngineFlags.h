#pragma once

#include <sstream>
#include <string>
#include <string_view>

namespace qz {

// QTWEBENGINE_CHROMIUM_FLAGS is a list of switches parted by blanks, as the engine splits it.

// The flags with flag added, unless it is there already.
inline std::string withEngineFlag(const std::string& flags, std::string_view flag) {
    std::istringstream words(flags);
    for (std::string word; words >> word;) {
        if (word == flag)
            return flags;
    }
    return flags.empty() ? std::string(flag) : flags + " " + std::string(flag);
}

// The first switch of the flags named name ("--proxy-server" finds "--proxy-server=host:3128"), or
// empty.
inline std::string engineFlagNamed(const std::string& flags, std::string_view name) {
    std::istringstream words(flags);
    for (std::string word; words >> word;) {
        if (word == name || (word.starts_with(name) && word.size() > name.size() && word[name.size()] == '='))
            return word;
    }
    return {};
}

} // namespace qz
