#pragma once

#include <QByteArray>

class QPrinter;
class QWebEngineView;

namespace qz {

// The engine's own PDF of the view's page, laid out for the printer's paper, orientation, margins and
// page range: text stays text and drawings stay vectors. Returns once the engine has made it; meanwhile
// the pointer shows that the shell is busy. Raises PrintFailure when the engine gives no PDF.
QByteArray pagePdf(QWebEngineView* view, const QPrinter& printer);

// True while a page is being made into a PDF: the engine takes one such request at a time.
bool pagePdfPending();

} // namespace qz
