#include "Printing.h"

#include <string>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QWebEngineView>

#include "platform/Errors.h"

namespace qz {

namespace {
QPrinter* g_printer = nullptr;
// The PDF file name the shell chose itself. A name the user picked in the print dialog stands;
// one the shell chose follows the page printed next.
QString g_chosenPdfName;
bool g_printing = false;

QString pdfNameFor(const QString& title) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    // Characters that a file name cannot hold on one system or another the file may go to.
    static const QRegularExpression unfit(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    QString name = QString(title).replace(unfit, QStringLiteral("_")).trimmed().left(100);
    if (name.isEmpty())
        name = QStringLiteral("网页");
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

void nameAfterPage(QPrinter& printer, const QWebEngineView& view) {
    const QString name = documentName(view.title());
    printer.setDocName(name);
    if (printer.outputFormat() != QPrinter::PdfFormat)
        return;
    if (printer.outputFileName().isEmpty() || printer.outputFileName() == g_chosenPdfName) {
        g_chosenPdfName = pdfNameFor(name);
        printer.setOutputFileName(g_chosenPdfName);
    }
}

void makeOutputFolder(const QPrinter& printer) {
    // The documents folder of a fresh account may not exist yet.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        QDir().mkpath(QFileInfo(printer.outputFileName()).absolutePath());
}

// The engine prints asynchronously; the caller expects the page printed when it returns.
void render(QWebEngineView* view, QPrinter& printer) {
    // The engine takes one print job per view at a time and silently drops a second one, whose
    // wait would then never end.
    if (g_printing)
        throw PlatformError("print: another page is being printed");
    g_printing = true;
    const auto done = qScopeGuard([] { g_printing = false; });

    makeOutputFolder(printer);
    QEventLoop loop;
    bool finished = false;
    bool printed = false;
    QObject::connect(view, &QWebEngineView::printFinished, &loop, [&](bool success) {
        finished = true;
        printed = success;
        loop.quit();
    });
    QObject::connect(view, &QObject::destroyed, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QObject::connect(view->page(), &QWebEnginePage::renderProcessTerminated, &loop, [&] {
        finished = true;
        loop.quit();
    });
    view->print(&printer);
    if (!finished)
        loop.exec();
    if (!printed)
        throw PlatformError("print: the page could not be printed");
}

QWebEngineView& checked(QWebEngineView* view) {
    if (!view)
        throw PlatformError("print: the browser view is gone");
    return *view;
}
} // namespace

QString documentName(const QString& title) {
    // Only a title with the portal's marker carries a size; any other "@" belongs to the title.
    return title.contains(QStringLiteral("QZ")) ? title.section(QLatin1Char('@'), 0, 0) : title;
}

QPrinter& shellPrinter() {
    if (g_printer)
        return *g_printer;
    g_printer = new QPrinter(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        g_printer->setOutputFormat(QPrinter::PdfFormat);
        g_chosenPdfName = pdfNameFor(QString());
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
    QPrinter& printer = shellPrinter();
    nameAfterPage(printer, checked(view));
    QPrintDialog dialog(&printer, owner);
    dialog.setWindowTitle(QStringLiteral("打印"));
    // The view may go while the dialog is open: the window holding it can be closed meanwhile.
    const QPointer<QWebEngineView> guarded(view);
    if (dialog.exec() != QDialog::Accepted)
        return;
    render(&checked(guarded), printer);
}

void printPageWithoutDialog(QWebEngineView* view) {
    QPrinter& printer = shellPrinter();
    nameAfterPage(printer, checked(view));
    render(view, printer);
}

void previewPage(QWebEngineView* view, QWidget* owner) {
    QPrinter& printer = shellPrinter();
    nameAfterPage(printer, checked(view));
    QPrintPreviewDialog preview(&printer, owner);
    preview.setWindowTitle(QStringLiteral("打印预览"));
    const QPointer<QWebEngineView> guarded(view);
    // An error must not cross the dialog's signal: it is kept and raised once the dialog is closed.
    std::string failure;
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* target) {
        try {
            render(&checked(guarded), *target);
        } catch (const PlatformError& error) {
            failure = error.what();
        }
    });
    preview.exec();
    if (!failure.empty())
        throw PlatformError(failure);
}

void setUpPage(QWidget* owner) {
    QPageSetupDialog dialog(&shellPrinter(), owner);
    dialog.setWindowTitle(QStringLiteral("页面设置"));
    dialog.exec();
}

} // namespace qz
