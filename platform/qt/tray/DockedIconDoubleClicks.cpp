#include "DockedIconDoubleClicks.h"

#include <utility>

#include <QMouseEvent>

namespace qz {

namespace {
// The widget class of Qt's own docked icon.
constexpr char kDockedIconClass[] = "QSystemTrayIconSys";
} // namespace

DockedIconDoubleClicks::DockedIconDoubleClicks(Clicked clicked)
    : m_clicked(std::move(clicked)) {}

bool DockedIconDoubleClicks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick || !watched->isWidgetType()
        || !watched->inherits(kDockedIconClass))
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton || mouse->button() == Qt::MiddleButton)
        m_clicked(mouse->button(), mouse->globalPosition().toPoint());
    return false; // Qt goes on with its own handling, a left double click's included
}

} // namespace qz
