#pragma once

#include <string>

namespace qz {

// The name of the program the desktop opens addresses of scheme with ("Thunderbird Mail" for mailto,
// in the user's language), in UTF-8; empty when none is set or it cannot be known.
std::string desktopProgramFor(const std::string& scheme);

} // namespace qz
