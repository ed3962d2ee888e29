#include "Printing.h"

#include <optional>

#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QWebEngineView>

#include "CupsQueue.h"
#include "PagePdf.h"
#include "PdfFileName.h"
#include "PdfPreview.h"
#include "PrintFailure.h"
#include "app/PortalTitle.h"
#include "platform/qt/Utf16.h"

namespace qz {

namespace {
void writePdfFile(const QByteArray& pdf, const QString& path) {
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit())
        throw PrintFailure(
            "print: the PDF file could not be written", QStringLiteral("无法写入文件“%1”。").arg(path));
}

void tellUser(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QStringLiteral("打印"), text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// A print that fails is told to the user, then raised for the error boundary.
template<class Step> void telling(QWidget* owner, Step&& step) {
    try {
        step();
    } catch (const PrintFailure& failure) {
        tellUser(owner, QMessageBox::Warning, failure.userText());
        throw;
    }
}

QWebEngineView& checked(QWebEngineView* view) {
    if (!view)
        throw PrintFailure("print: the browser view is gone", QStringLiteral("要打印的网页已经关闭。"));
    return *view;
}
} // namespace

Printing::Printing() = default;

Printing::~Printing() = default;

QString Printing::documentName(const QString& title) {
    return toQString(titleWithoutSize(toU16(title)));
}

QPrinter& Printing::printer() {
    // Made on first use: asking the printing system for its printers takes a moment.
    if (m_printer)
        return *m_printer;
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_chosenPdfName = defaultPdfPath(QString());
        m_printer->setOutputFileName(m_chosenPdfName);
    }
    return *m_printer;
}

void Printing::nameAfterPage(const QWebEngineView& view) {
    QPrinter& target = printer();
    const QString name = documentName(view.title());
    target.setDocName(name);
    if (target.outputFormat() != QPrinter::PdfFormat)
        return;
    if (target.outputFileName().isEmpty() || target.outputFileName() == m_chosenPdfName) {
        m_chosenPdfName = defaultPdfPath(name);
        target.setOutputFileName(m_chosenPdfName);
    }
}

void Printing::printTo(QWebEngineView* view) {
    const QPrinter& target = printer();
    const QByteArray pdf = m_pdf.make(view, target);
    if (target.outputFormat() == QPrinter::PdfFormat)
        writePdfFile(pdf, target.outputFileName());
    else
        CupsQueue(target).print(pdf, target.docName());
}

// The engine makes one page's PDF at a time; a second request meanwhile is turned down.
bool Printing::refusedWhileBusy(QWidget* owner) const {
    if (!m_pdf.pending())
        return false;
    tellUser(owner, QMessageBox::Information, QStringLiteral("正在准备打印，请等这一页准备好后再试。"));
    return true;
}

void Printing::print(QWebEngineView* view, QWidget* owner) {
    if (refusedWhileBusy(owner))
        return;
    nameAfterPage(checked(view));
    QPrintDialog dialog(&printer(), owner);
    dialog.setWindowTitle(QStringLiteral("打印"));
    // The view may go while the dialog is open: the window holding it can be closed meanwhile.
    const QPointer<QWebEngineView> guarded(view);
    if (dialog.exec() != QDialog::Accepted)
        return;
    telling(owner, [&] { printTo(&checked(guarded)); });
}

void Printing::printWithoutDialog(QWebEngineView* view) {
    if (refusedWhileBusy(view))
        return;
    nameAfterPage(checked(view));
    telling(view, [&] { printTo(view); });
}

void Printing::preview(QWebEngineView* view, QWidget* owner) {
    if (refusedWhileBusy(owner))
        return;
    nameAfterPage(checked(view));
    const QPointer<QWebEngineView> guarded(view);
    // Made before the dialog opens: until the dialog shows, nothing is modal and the user may ask
    // again, which a preview being painted does not survive.
    QByteArray pdf;
    telling(owner, [&] { pdf = m_pdf.make(view, printer()); });
    QPageLayout pdfLayout = printer().pageLayout();

    QPrintPreviewDialog preview(&printer(), owner);
    preview.setWindowTitle(QStringLiteral("打印预览"));
    bool printChosen = false;
    // An error must not cross the dialog's signal: it is kept and raised once the dialog is closed.
    std::optional<PrintFailure> failure;
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* target) {
        // The preview's print button asks for the pages once its print dialog is accepted; the
        // engine's PDF is sent once the preview has closed.
        const auto* printDialog = preview.findChild<QPrintDialog*>();
        if (printDialog && printDialog->result() == QDialog::Accepted) {
            printChosen = true;
            return;
        }
        try {
            // Another paper or orientation chosen in the preview lays the page out anew.
            if (!target->pageLayout().isEquivalentTo(pdfLayout)) {
                pdf = m_pdf.make(&checked(guarded), *target);
                pdfLayout = target->pageLayout();
            }
            paintPdfPreview(pdf, target);
        } catch (const PrintFailure& error) {
            failure = error;
        }
    });
    preview.exec();
    if (failure) {
        tellUser(owner, QMessageBox::Warning, failure->userText());
        throw *failure;
    }
    if (printChosen)
        telling(owner, [&] { printTo(&checked(guarded)); });
}

void Printing::setUp(QWidget* owner) {
    QPageSetupDialog dialog(&printer(), owner);
    dialog.setWindowTitle(QStringLiteral("页面设置"));
    dialog.exec();
}

} // namespace qz
