#include "QtTextCorrections.h"

#include <cstring>

namespace qz {

namespace {
struct Correction {
    const char* source;
    const char16_t* text;
};

// QAbstractFileIconProvider::type(): the "Type" column of the file chooser.
constexpr Correction kFileTypes[] = {
    { "Drive", u"驱动器" },
    { "%1 File", u"%1 文件" },
    { "File", u"文件" },
    { "Folder", u"文件夹" },
    { "Shortcut", u"快捷方式" },
    { "Alias", u"别名" },
    { "Unknown", u"未知" },
};
} // namespace

QtTextCorrections::QtTextCorrections(const QTranslator& catalogue)
    : m_catalogue(catalogue)
    , m_englishInBrackets(QStringLiteral(R"(\s*\([A-Za-z][^)]*\))")) {}

QString QtTextCorrections::translate(
    const char* context, const char* sourceText, const char* disambiguation, int n) const {
    if (std::strcmp(context, "QAbstractFileIconProvider") == 0) {
        for (const Correction& correction : kFileTypes)
            if (std::strcmp(sourceText, correction.source) == 0)
                return QString::fromUtf16(correction.text);
        return QString();
    }
    if (std::strcmp(context, "QPageSize") == 0) {
        return m_catalogue.translate(context, sourceText, disambiguation, n).remove(m_englishInBrackets);
    }
    return QString();
}

} // namespace qz
