#pragma once

#include <optional>
#include <string_view>

namespace qz {

// The numeric test of FC_CLng. Numeric text is: optional blanks (space or tab), an optional sign,
// digits with an optional fraction ("1024.9", ".5", "5."), an optional exponent ("1e3"), optional
// blanks. Nothing else counts: no hex, group separators, currency signs, "Infinity" or "NaN".
// Returns the value, or nothing for text that is not numeric; raises OverflowError for numeric text
// too large for a double ("1e400").
std::optional<double> numericValue(std::u16string_view text);

} // namespace qz
