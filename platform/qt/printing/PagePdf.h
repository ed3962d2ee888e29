#pragma once

#include <QByteArray>

class QPrinter;
class QWebEngineView;

namespace qz {

// The engine's own PDF of a view's page, laid out for the printer's paper, orientation, margins and
// page range: text stays text and drawings stay vectors. The engine takes one such request at a time.
class PagePdf final {
public:
    // Returns once the engine has made it; meanwhile the pointer shows that the shell is busy. Raises
    // PrintFailure when the engine gives no PDF, or while another page is being made into one.
    QByteArray make(QWebEngineView* view, const QPrinter& printer);

    // True while a page is being made into a PDF.
    bool pending() const { return m_pending; }

private:
    bool m_pending = false;
};

} // namespace qz
