#include "DownloadNames.h"

#include <algorithm>

#include <QList>

namespace qz::DownloadNames {

namespace {
// An extension longer than this is part of the name: it is cut like the rest.
constexpr qsizetype kMaxExtensionLength = 16;

bool isDropped(char32_t c) {
    switch (QChar::category(c)) {
    case QChar::Other_Control: // BEL, newlines, DEL…
    case QChar::Other_Format: // U+202E and the other bidi controls, zero-width characters
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Surrogate: // a lone half of a pair
    case QChar::Other_NotAssigned:
        return true;
    default:
        return false;
    }
}

int utf8Bytes(const QString& text) {
    return static_cast<int>(text.toUtf8().size());
}

// The leading part of text that takes at most maxBytes bytes of UTF-8, never half a pair.
QString leadingBytes(const QString& text, int maxBytes) {
    QString kept;
    int bytes = 0;
    for (const uint code : text.toUcs4()) {
        const char32_t c = code;
        const QString character = QString::fromUcs4(&c, 1);
        bytes += utf8Bytes(character);
        if (bytes > maxBytes)
            break;
        kept += character;
    }
    return kept;
}

qsizetype extensionStart(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || name.size() - dot > kMaxExtensionLength + 1)
        return -1;
    return dot;
}
} // namespace

QString cleaned(const QString& suggested) {
    // A page's name never picks the folder: only what follows the last separator counts.
    const qsizetype separator = std::max(suggested.lastIndexOf(u'/'), suggested.lastIndexOf(u'\\'));
    QString name;
    for (const uint code : suggested.mid(separator + 1).toUcs4()) {
        const char32_t c = code;
        if (!isDropped(c))
            name += QString::fromUcs4(&c, 1);
    }
    // No hidden files (".bashrc"), no ".." and nothing the user could not see at either end.
    qsizetype start = 0;
    while (start < name.size() && (name[start] == u'.' || name[start].isSpace()))
        ++start;
    qsizetype end = name.size();
    while (end > start && (name[end - 1] == u'.' || name[end - 1].isSpace()))
        --end;
    name = name.mid(start, end - start);
    if (name.isEmpty())
        name = QStringLiteral("未命名下载");
    return fitted(name, kMaxBytes);
}

QString fitted(const QString& name, int maxBytes) {
    if (utf8Bytes(name) <= maxBytes)
        return name;
    const qsizetype dot = extensionStart(name);
    if (dot > 0) {
        const QString extension = name.mid(dot);
        const int room = maxBytes - utf8Bytes(extension);
        const QString base = leadingBytes(name.left(dot), room);
        if (!base.isEmpty())
            return base + extension;
    }
    return leadingBytes(name, maxBytes);
}

QString numbered(const QString& name, int number) {
    const QString numberText = QStringLiteral(" (%1)").arg(number);
    const qsizetype dot = extensionStart(name);
    if (dot <= 0)
        return name + numberText;
    return name.left(dot) + numberText + name.mid(dot);
}

} // namespace qz::DownloadNames
