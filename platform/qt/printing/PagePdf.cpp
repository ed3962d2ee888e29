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

QByteArray PagePdf::make(QWebEngineView* view, const QPrinter& printer) {
    if (m_pending)
        throw PrintFailure("print: another page is being prepared",
            QStringLiteral("正在准备打印另一页，请等它准备好再试。"));
    if (!view)
        throw noPdf("the browser view is gone");
    m_pending = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const auto done = qScopeGuard([this] {
        QApplication::restoreOverrideCursor();
        m_pending = false;
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
