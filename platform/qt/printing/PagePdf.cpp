#include "PagePdf.h"

#include <memory>

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QPrinter>
#include <QScopeGuard>
#include <QWebEngineView>

#include "PrintFailure.h"

namespace qz {

namespace {
bool g_pending = false;

// Shared with the engine's callback, which may still come after the wait has ended (the view gone).
struct PdfResult {
    QByteArray pdf;
    bool done = false;
    QPointer<QEventLoop> loop;
};

PrintFailure noPdf(const char* why) {
    return PrintFailure(std::string("print: ") + why, QStringLiteral("这一页没能准备好打印，请稍后再试。"));
}
} // namespace

bool pagePdfPending() {
    return g_pending;
}

QByteArray pagePdf(QWebEngineView* view, const QPrinter& printer) {
    if (g_pending)
        throw PrintFailure("print: another page is being prepared",
            QStringLiteral("正在准备打印另一页，请等它准备好再试。"));
    if (!view)
        throw noPdf("the browser view is gone");
    g_pending = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const auto done = qScopeGuard([] {
        QApplication::restoreOverrideCursor();
        g_pending = false;
    });

    QEventLoop loop;
    const auto result = std::make_shared<PdfResult>();
    result->loop = &loop;
    const QPointer<QWebEngineView> guarded(view);
    QObject::connect(view, &QObject::destroyed, &loop, &QEventLoop::quit);
    QObject::connect(view->page(), &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
    const QPageRanges ranges
        = printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
    view->printToPdf(
        [result](const QByteArray& pdf) {
            result->pdf = pdf;
            result->done = true;
            if (result->loop)
                result->loop->quit();
        },
        printer.pageLayout(), ranges);
    if (!result->done)
        loop.exec();
    if (!guarded)
        throw noPdf("the browser view is gone");
    if (result->pdf.isEmpty())
        throw noPdf("the page could not be printed");
    return result->pdf;
}

} // namespace qz
