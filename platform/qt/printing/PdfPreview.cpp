#include "PdfPreview.h"

#include <QPainter>
#include <QPdfDocument>
#include <QPrinter>
#include <QTemporaryFile>

#include "PrintFailure.h"

namespace qz {

namespace {
// Sharp on a screen at any of the preview's zoom steps up to twice the page's size.
constexpr double kPreviewDpi = 150.0;
constexpr double kPointsPerInch = 72.0;

PrintFailure unreadable() {
    return PrintFailure("preview: the page's PDF cannot be read", QStringLiteral("无法显示打印预览。"));
}
} // namespace

void paintPdfPreview(const QByteArray& pdf, QPrinter* preview) {
    // Loading from a file is synchronous; from a device it may not be.
    QTemporaryFile file;
    if (!file.open() || file.write(pdf) != pdf.size() || !file.flush())
        throw unreadable();
    QPdfDocument document;
    if (document.load(file.fileName()) != QPdfDocument::Error::None || document.pageCount() < 1)
        throw unreadable();

    QPainter painter;
    if (!painter.begin(preview))
        throw unreadable();
    // The PDF's pages are whole sheets; the painter starts at the printable area's corner.
    const QRectF page = preview->pageRect(QPrinter::DevicePixel);
    const QRectF sheet = preview->paperRect(QPrinter::DevicePixel).translated(-page.topLeft());
    for (int index = 0; index < document.pageCount(); ++index) {
        if (index > 0)
            preview->newPage();
        const QSize pixels = (document.pagePointSize(index) * kPreviewDpi / kPointsPerInch).toSize();
        painter.drawImage(sheet, document.render(index, pixels));
    }
}

} // namespace qz
