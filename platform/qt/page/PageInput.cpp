#include "PageInput.h"

#include <QApplication>
#include <QEvent>
#include <QWebEngineView>
#include <QWidget>

namespace qz {

PageInput::PageInput(QObject* parent)
    : QObject(parent) {
    qApp->installEventFilter(this);
}

bool PageInput::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::KeyPress)
        return false;
    // The view draws the page in a child widget of its own, which gets the input.
    for (auto* widget = qobject_cast<QWidget*>(watched); widget; widget = widget->parentWidget()) {
        if (auto* view = qobject_cast<QWebEngineView*>(widget)) {
            if (view->page())
                emit userInput(view->page());
            break;
        }
    }
    return false;
}

} // namespace qz
