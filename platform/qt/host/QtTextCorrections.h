#pragma once

#include <QRegularExpression>
#include <QTranslator>

namespace qz {

// A few of Qt's own texts are wrong in its Chinese catalogue: the file chooser's file types are missing
// there (the dialog shows "Folder"), and paper names carry their English names in brackets ("国际信封
// (Envelope) C5"). This corrects those texts only; everything else comes from the catalogue given.
class QtTextCorrections final : public QTranslator {
public:
    explicit QtTextCorrections(const QTranslator& catalogue);

    QString translate(
        const char* context, const char* sourceText, const char* disambiguation, int n) const override;
    bool isEmpty() const override { return false; }

private:
    const QTranslator& m_catalogue;
    const QRegularExpression m_englishInBrackets;
};

} // namespace qz
