#pragma once

#include <QString>

class QPrinter;
class QWebEngineView;
class QWidget;

namespace qz {

// The process's one printer. Page set-up changes it, and every later print and preview uses it.
// On a system without an installed printer it writes a PDF file into the user's documents folder,
// so printing still gives the user something to keep.
QPrinter& shellPrinter();

// The name a printed page gets: its title, without the window size a portal title carries after "@".
QString documentName(const QString& title);

// Each call returns once its dialog is closed and the page is printed; a dialog belongs to the
// given window and is modal. A page that cannot be printed raises PlatformError.
void printPage(QWebEngineView* view, QWidget* owner);
void printPageWithoutDialog(QWebEngineView* view);
void previewPage(QWebEngineView* view, QWidget* owner);
void setUpPage(QWidget* owner);

} // namespace qz
