#include "AnsiCodePage.h"

#include "SurrogatePairs.h"
#include "platform/Errors.h"

#include <array>
#include <cerrno>
#include <iconv.h>

namespace qz {

namespace {
constexpr const char* kAnsiName = "GBK";

// One iconv conversion descriptor, closed when done.
class Converter {
public:
    Converter(const char* to, const char* from)
        : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw PlatformError(std::string("no converter from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts one whole input unit; false when it has no form in the target.
    bool convert(const char* in, std::size_t inSize, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::array<char, 16> buffer {};
        char* inPtr = const_cast<char*>(in);
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        if (iconv(m_cd, &inPtr, &inSize, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inSize != 0)
            return false;
        out.assign(buffer.data(), buffer.size() - outLeft);
        return true;
    }

private:
    iconv_t m_cd;
};
} // namespace

std::string toAnsi(std::u16string_view text, std::size_t maxBytes) {
    Converter converter(kAnsiName, "UTF-32LE");
    std::string result;
    std::string encoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i];
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            codePoint = codePointOfPair(text[i], text[i + 1]);
            ++i;
        }
        const std::array<char, 4> utf32 { char(codePoint & 0xFF), char((codePoint >> 8) & 0xFF),
            char((codePoint >> 16) & 0xFF), char((codePoint >> 24) & 0xFF) };
        if (!converter.convert(utf32.data(), utf32.size(), encoded))
            encoded = "?";
        if (result.size() + encoded.size() > maxBytes)
            break;
        result += encoded;
    }
    return result;
}

std::u16string fromAnsi(std::string_view text) {
    Converter converter("UTF-16LE", kAnsiName);
    std::u16string result;
    std::string encoded;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t width = (lead >= 0x81 && lead <= 0xFE && i + 1 < text.size()) ? 2 : 1;
        if (converter.convert(text.data() + i, width, encoded)) {
            for (std::size_t b = 0; b + 1 < encoded.size(); b += 2)
                result += char16_t(
                    static_cast<unsigned char>(encoded[b]) | static_cast<unsigned char>(encoded[b + 1]) << 8);
        } else {
            result += u'\uFFFD';
        }
        i += width;
    }
    return result;
}

} // namespace qz
