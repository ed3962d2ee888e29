#include "Printing.h"

#include <optional>

#include <QApplication>
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
QPrinter* g_printer = nullptr;
// The PDF file name the shell chose itself. A name the user picked in the print dialog stands;
// one the shell chose follows the page printed next.
QString g_chosenPdfName;

void nameAfterPage(QPrinter& printer, const QWebEngineView& view) {
    const QString name = documentName(view.title());
    printer.setDocName(name);
    if (printer.outputFormat() != QPrinter::PdfFormat)
        return;
    if (printer.outputFileName().isEmpty() || printer.outputFileName() == g_chosenPdfName) {
        g_chosenPdfName = defaultPdfPath(name);
        printer.setOutputFileName(g_chosenPdfName);
    }
}

void writePdfFile(const QByteArray& pdf, const QString& path) {
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit())
        throw PrintFailure(
            "print: the PDF file could not be written", QStringLiteral("无法写入文件“%1”。").arg(path));
}

// The engine's PDF of the page goes where the printer points: its file, or its print queue.
void printTo(QWebEngineView* view, const QPrinter& printer) {
    const QByteArray pdf = pagePdf(view, printer);
    if (printer.outputFormat() == QPrinter::PdfFormat)
        writePdfFile(pdf, printer.outputFileName());
    else
        CupsQueue(printer).print(pdf, printer.docName());
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

// The engine makes one page's PDF at a time; a second request meanwhile is turned down.
bool refusedWhileBusy(QWidget* owner) {
    if (!pagePdfPending())
        return false;
    tellUser(owner, QMessageBox::Information, QStringLiteral("正在准备打印，请等这一页准备好后再试。"));
    return true;
}

QWebEngineView& checked(QWebEngineView* view) {
    if (!view)
        throw PrintFailure("print: the browser view is gone", QStringLiteral("要打印的网页已经关闭。"));
    return *view;
}
} // namespace

QString documentName(const QString& title) {
    return toQString(titleWithoutSize(toU16(title)));
}

QPrinter& shellPrinter() {
    if (g_printer)
        return *g_printer;
    g_printer = new QPrinter(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        g_printer->setOutputFormat(QPrinter::PdfFormat);
        g_chosenPdfName = defaultPdfPath(QString());
        g_printer->setOutputFileName(g_chosenPdfName);
    }
    // Gone with the application object, before the printing system it may hold on to.
    QObject::connect(qApp, &QObject::destroyed, [] {
        delete g_printer;
        g_printer = nullptr;
    });
    return *g_printer;
}

void printPage(QWebEngineView* view, QWidget* owner) {
    if (refusedWhileBusy(owner))
        return;
    QPrinter& printer = shellPrinter();
    nameAfterPage(printer, checked(view));
    QPrintDialog dialog(&printer, owner);
    dialog.setWindowTitle(QStringLiteral("打印"));
    // The view may go while the dialog is open: the window holding it can be closed meanwhile.
    const QPointer<QWebEngineView> guarded(view);
    if (dialog.exec() != QDialog::Accepted)
        return;
    telling(owner, [&] { printTo(&checked(guarded), printer); });
}

void printPageWithoutDialog(QWebEngineView* view) {
    if (refusedWhileBusy(view))
        return;
    QPrinter& printer = shellPrinter();
    nameAfterPage(printer, checked(view));
    telling(view, [&] { printTo(view, printer); });
}

void previewPage(QWebEngineView* view, QWidget* owner) {
    if (refusedWhileBusy(owner))
        return;
    QPrinter& printer = shellPrinter();
    nameAfterPage(printer, checked(view));
    const QPointer<QWebEngineView> guarded(view);
    // Made before the dialog opens: until the dialog shows, nothing is modal and the user may ask
    // again, which a preview being painted does not survive.
    QByteArray pdf;
    telling(owner, [&] { pdf = pagePdf(view, printer); });
    QPageLayout pdfLayout = printer.pageLayout();

    QPrintPreviewDialog preview(&printer, owner);
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
                pdf = pagePdf(&checked(guarded), *target);
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
        telling(owner, [&] { printTo(&checked(guarded), printer); });
}

void setUpPage(QWidget* owner) {
    QPageSetupDialog dialog(&shellPrinter(), owner);
    dialog.setWindowTitle(QStringLiteral("页面设置"));
    dialog.exec();
}

} // namespace qz
