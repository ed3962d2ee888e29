#include "CupsQueue.h"

#include <cups/cups.h>

#include <QPrinter>
#include <QTemporaryFile>

#include "PrintFailure.h"

namespace qz {

namespace {
QByteArray sides(const QPrinter& printer) {
    switch (printer.duplex()) {
    case QPrinter::DuplexLongSide:
        return "two-sided-long-edge";
    case QPrinter::DuplexShortSide:
        return "two-sided-short-edge";
    case QPrinter::DuplexAuto:
        return printer.pageLayout().orientation() == QPageLayout::Landscape ? "two-sided-short-edge"
                                                                            : "two-sided-long-edge";
    case QPrinter::DuplexNone:
        break;
    }
    return "one-sided";
}

PrintFailure refused(const QString& queue, const char* reason) {
    return PrintFailure(std::string("print: CUPS refused the job: ") + reason,
        QStringLiteral("打印机“%1”没有接受打印任务：%2").arg(queue, QString::fromUtf8(reason)));
}
} // namespace

CupsQueue::CupsQueue(const QPrinter& printer)
    // An instance ("queue/instance") is a set of options on its queue; the job goes to the queue.
    : m_name(printer.printerName().section(QLatin1Char('/'), 0, 0)) {
    const auto add = [this](const char* name, const QByteArray& value) { m_options.append({ name, value }); };
    add("copies", QByteArray::number(qMax(1, printer.copyCount())));
    add("collate", printer.collateCopies() ? "true" : "false");
    add("sides", sides(printer));
    add("print-color-mode", printer.colorMode() == QPrinter::GrayScale ? "monochrome" : "color");
    const QString paper = printer.pageLayout().pageSize().key();
    if (!paper.isEmpty())
        add("media", paper.toUtf8());
}

void CupsQueue::print(const QByteArray& pdf, const QString& title) const {
    if (m_name.isEmpty())
        throw PrintFailure("print: no printer chosen", QStringLiteral("没有选择打印机。"));
    QTemporaryFile file;
    if (!file.open() || file.write(pdf) != pdf.size() || !file.flush())
        throw PrintFailure(
            "print: the job could not be written", QStringLiteral("无法写入打印任务的临时文件。"));

    cups_option_t* options = nullptr;
    int count = 0;
    for (const auto& [name, value] : m_options)
        count = cupsAddOption(name.constData(), value.constData(), count, &options);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, m_name.toUtf8().constData(),
        file.fileName().toUtf8().constData(), title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job == 0)
        throw refused(m_name, cupsLastErrorString());
}

} // namespace qz
