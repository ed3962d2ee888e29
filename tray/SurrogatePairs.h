#pragma once

namespace qz {

// The platform interfaces speak UTF-16: a character beyond U+FFFF takes two units, a high one
// followed by a low one, and text is never cut between them.
constexpr bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

constexpr char32_t codePointOfPair(char16_t high, char16_t low) {
    return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
}

} // namespace qz
