#pragma once

#include <QString>

namespace qz::DownloadNames {

// The longest file name most file systems take, in bytes of UTF-8.
inline constexpr int kMaxBytes = 255;

// The name a page suggests, made safe to save under: the last path component only, without
// control, format (bidi) or separator characters, without leading dots or spaces and trailing dots
// or spaces, and at most kMaxBytes long with its extension kept. Never empty.
QString cleaned(const QString& suggested);

// The name cut to at most maxBytes bytes of UTF-8, whole characters only, keeping the extension
// where the base can give way; the name itself when it fits.
QString fitted(const QString& name, int maxBytes);

// "setup.exe" as "setup (n).exe"; a name without an extension takes the number at the end.
QString numbered(const QString& name, int number);

} // namespace qz::DownloadNames
