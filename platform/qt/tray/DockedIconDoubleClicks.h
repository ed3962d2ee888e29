#pragma once

#include <functional>

#include <QObject>
#include <QPoint>

namespace qz {

// Qt's docked (XEmbed) tray icon turns the second press of a double click into a double-click event
// and reports it only for the left button: a second right click soon after the first, such as the
// one that opens the tray menu again just after it was closed, would do nothing. This filter, on the
// application, hands such double clicks of the right and middle buttons on a docked icon to the tray.
class DockedIconDoubleClicks final : public QObject {
public:
    using Clicked = std::function<void(Qt::MouseButton button, QPoint globalPosition)>;
    explicit DockedIconDoubleClicks(Clicked clicked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Clicked m_clicked;
};

} // namespace qz
