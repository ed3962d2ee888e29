#pragma once

#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

namespace qz {

// The window that shows the page, which a question from the page belongs to; nullptr for a page
// no view shows.
inline QWidget* pageWindow(QWebEnginePage* page) {
    QWebEngineView* view = QWebEngineView::forPage(page);
    return view ? view->window() : nullptr;
}

} // namespace qz
