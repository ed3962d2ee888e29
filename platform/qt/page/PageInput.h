#pragma once

#include <QObject>

class QWebEnginePage;

namespace qz {

// Tells when the user clicks or types in a page's view. Only real input counts: the events reach the
// view's widgets from the window system, and nothing a page's script does can make one. One watches
// for all the shell's pages (Pages holds it): each event is looked at once, however many are open.
class PageInput final : public QObject {
    Q_OBJECT
public:
    explicit PageInput(QObject* parent);

signals:
    void userInput(QWebEnginePage* page);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qz
