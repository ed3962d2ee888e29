#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qz::fuzz {

// The fuzzer's bytes read as UTF-16 code units, little-endian; an odd last byte is dropped.
inline std::u16string utf16(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    return text;
}

// Stops the fuzzer with the failed invariant named: libFuzzer saves the input that broke it.
#define QZ_FUZZ_CHECK(condition)                                                                             \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            __builtin_printf("invariant broken: %s\n", #condition);                                          \
            __builtin_trap();                                                                                \
        }                                                                                                    \
    } while (false)

} // namespace qz::fuzz
