#pragma once

#include <QObject>

class QUrl;
class QWebEnginePage;

namespace qz {

class PageInput;

// Where a page's way out of the portal leads: a web address outside the portal's scope is handed
// to the user's own browser, and the page stays where it was. A page that keeps trying (a script
// looping on location.href) gets one address handed over, then none until the user clicks or types
// in it again. A window the shell opened that has shown nothing of its own closes once its address
// is handed over.
class OutsideLinks final : public QObject {
    Q_OBJECT
public:
    // The user's clicks and keys in the page come through input.
    OutsideLinks(QWebEnginePage* page, PageInput& input);

    // Whether the page may load address itself. Addresses other than http and https are the
    // engine's to refuse or to pass to the desktop, as before.
    bool admits(const QUrl& address);

private:
    void handOver(const QUrl& address, bool closeWindow);

    QWebEnginePage* m_page;
    bool m_quiet = false;
    bool m_showedPage = false;
};

} // namespace qz
