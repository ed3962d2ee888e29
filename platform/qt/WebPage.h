#pragma once

#include <QWebEnginePage>

namespace qz {

// The page of every browser view the shell shows. A page that opens a window (a link with a target,
// window.open) gets a new BrowserWindow on the same profile.
class WebPage final : public QWebEnginePage {
    Q_OBJECT
public:
    WebPage(QWebEngineProfile* profile, QObject* parent);

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
};

} // namespace qz
