#pragma once

#include <QString>

class QPrinter;
class QWebEngineView;
class QWidget;

namespace qz {

// The process's one printer. Page set-up changes it, and every later print and preview uses it.
// On a system without an installed printer it writes a PDF file into the user's documents folder
// (the home folder where there is none), so printing still gives the user something to keep.
QPrinter& shellPrinter();

// The name a printed page gets: its title, without the window size a portal title carries after "@".
QString documentName(const QString& title);

// Each call returns once its dialog is closed and the page is printed; a dialog belongs to the
// given window and is modal. What is printed is the engine's PDF of the page, written to the chosen
// file or sent to the chosen print queue. A page that cannot be printed is told to the user and
// raises PlatformError; a request while another page is being prepared is turned down.
void printPage(QWebEngineView* view, QWidget* owner);
void printPageWithoutDialog(QWebEngineView* view);
void previewPage(QWebEngineView* view, QWidget* owner);
void setUpPage(QWidget* owner);

} // namespace qz
