#include "PdfFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace qz {

namespace {
constexpr qsizetype kMaxNameBytes = 255;

QString writableFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QFileInfo folder(documents);
    if (!documents.isEmpty() && folder.isDir() && folder.isWritable())
        return documents;
    return QDir::homePath();
}

// The longest start of the text whose UTF-8 form takes at most the given bytes; a surrogate pair
// stays whole.
QString leftBytes(const QString& text, qsizetype bytes) {
    qsizetype used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const qsizetype length = text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        used += text.mid(end, length).toUtf8().size();
        if (used > bytes)
            break;
        end += length;
    }
    return text.left(end);
}
} // namespace

QString defaultPdfPath(const QString& documentName) {
    static const QString extension = QStringLiteral(".pdf");
    // Characters that a file name cannot hold on one system or another the file may go to.
    static const QRegularExpression unfit(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    QString name = QString(documentName).replace(unfit, QStringLiteral("_")).trimmed();
    name = leftBytes(name, kMaxNameBytes - extension.size()).trimmed();
    if (name.isEmpty())
        name = QStringLiteral("网页");
    return QDir(writableFolder()).filePath(name + extension);
}

} // namespace qz
