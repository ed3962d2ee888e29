#pragma once

#include <memory>

#include <QString>

#include "PagePdf.h"

class QPrinter;
class QWebEngineView;
class QWidget;

namespace qz {

// Print, print preview and page set-up for every page of the shell, with the one printer they share:
// page set-up changes it, and every later print and preview uses it. On a system without an
// installed printer it writes a PDF file into the user's documents folder (the home folder where
// there is none), so printing still gives the user something to keep. Owned by the application
// object, which outlives every print.
class Printing final {
public:
    Printing();
    ~Printing();
    Printing(const Printing&) = delete;
    Printing& operator=(const Printing&) = delete;

    QPrinter& printer();

    // The name a printed page gets: its title, without the window size a portal title carries after "@".
    static QString documentName(const QString& title);

    // Each call returns once its dialog is closed and the page is printed; a dialog belongs to the
    // given window and is modal. What is printed is the engine's PDF of the page, written to the chosen
    // file or sent to the chosen print queue. A page that cannot be printed is told to the user and
    // raises PlatformError; a request while another page is being prepared is turned down.
    void print(QWebEngineView* view, QWidget* owner);
    void printWithoutDialog(QWebEngineView* view);
    void preview(QWebEngineView* view, QWidget* owner);
    void setUp(QWidget* owner);

private:
    void nameAfterPage(const QWebEngineView& view);
    // The engine's PDF of the page goes where the printer points: its file, or its print queue.
    void printTo(QWebEngineView* view);
    bool refusedWhileBusy(QWidget* owner) const;

    std::unique_ptr<QPrinter> m_printer;
    // The PDF file name the shell chose itself. A name the user picked in the print dialog stands;
    // one the shell chose follows the page printed next.
    QString m_chosenPdfName;
    PagePdf m_pdf;
};

} // namespace qz
