#include "Numeric.h"

#include "platform/Errors.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace qz {

namespace {
bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::size_t skipDigits(std::u16string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// strtod in the "C" locale, whatever the user's locale says about decimal points.
double parseC(const std::string& ascii) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t {});
    errno = 0;
    const double value = strtod_l(ascii.c_str(), nullptr, cLocale);
    if (errno == ERANGE && std::isinf(value))
        throw OverflowError();
    return value;
}
} // namespace

std::optional<double> numericValue(std::u16string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;

    std::size_t i = begin;
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const std::size_t intEnd = skipDigits(text, i);
    std::size_t digits = intEnd - i;
    i = intEnd;
    if (i < end && text[i] == u'.') {
        const std::size_t fracEnd = skipDigits(text, i + 1);
        digits += fracEnd - (i + 1);
        i = fracEnd;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        std::size_t j = i + 1;
        if (j < end && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        const std::size_t expEnd = skipDigits(text, j);
        if (expEnd == j)
            return std::nullopt;
        i = expEnd;
    }
    if (i != end)
        return std::nullopt;

    std::string ascii;
    ascii.reserve(end - begin);
    for (std::size_t k = begin; k < end; ++k)
        ascii += static_cast<char>(text[k]);
    return parseC(ascii);
}

} // namespace qz
