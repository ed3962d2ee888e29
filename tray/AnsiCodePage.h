#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qz {

// The system's ANSI code page is, on systems without one, fixed at 936 (GBK).
// Converts UTF-16 text to the ANSI code page, keeping whole characters only, within maxBytes bytes.
// A character the code page lacks becomes '?', as the system's own conversion does; a surrogate pair
// is one character.
std::string toAnsi(std::u16string_view text, std::size_t maxBytes);

// Converts ANSI code page text back to UTF-16; bytes that form no character become U+FFFD.
std::u16string fromAnsi(std::string_view text);

} // namespace qz
