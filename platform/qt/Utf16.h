#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace qz {

// The platform interfaces speak UTF-16, as QString does: the conversions copy, never transcode.
inline QString toQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string toU16(const QString& text) {
    return text.toStdU16String();
}

// For error messages, which are narrow text.
inline std::string toUtf8(std::u16string_view text) {
    return toQString(text).toStdString();
}

} // namespace qz
