#include "LiteralText.h"

namespace qz {

namespace {
const QString kModifiedPlaceholder = QStringLiteral("[*]");
}

// Qt removes an odd "[*]" of a run and turns each "[*][*]" into one literal "[*]"; doubling every
// occurrence makes every run even. "[*]" cannot overlap itself, so the runs Qt finds are ours.
QString literalWindowTitle(const QString& text) {
    QString title = text;
    title.replace(kModifiedPlaceholder, kModifiedPlaceholder + kModifiedPlaceholder);
    return title;
}

QString literalMenuText(const QString& text) {
    QString menuText = text;
    menuText.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return menuText;
}

} // namespace qz
