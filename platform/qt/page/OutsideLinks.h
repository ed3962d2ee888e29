#pragma once

#include <QObject>
#include <QUrl>

class QWebEnginePage;

namespace qz {

class PageInput;

// Where a page's way out of the portal leads. A window of the shell shows the portal's own content
// only (judgeTopLevel): a web address outside the portal's scope is handed to the user's own
// browser, an address for another program of the desktop goes there only when the user clicked and
// then says yes, and everything else (an outside frame's blob: document, a local file, an engine
// page) is refused. The page stays where it was. A page that keeps trying (a script looping on
// location.href) gets one address handed over, and one question, then none until the user clicks or
// types in it again. A window the shell opened that has shown nothing of its own closes once its
// address is handed over or refused.
class OutsideLinks final : public QObject {
    Q_OBJECT
public:
    // The user's clicks and keys in the page come through input.
    OutsideLinks(QWebEnginePage* page, PageInput& input);

    // Whether the page may show address at its top level.
    bool admits(const QUrl& address);
    // This page's window was opened by a page that showed opener.
    void openedBy(const QUrl& opener);
    // Whether a new window may open for address, which the page asked for.
    bool admitsWindow(const QUrl& address);
    // Whether a frame inside the page may load address. Frames are the portal's choice, but nothing
    // goes from a frame to another program: whose frame it is cannot be told.
    static bool admitsFrame(const QUrl& address);

private:
    void handOver(const QUrl& address, bool closeWindow);
    void ask(const QUrl& address);
    void refuse();

    QWebEnginePage* m_page;
    QUrl m_opener;
    // A way out was taken since the user's last input.
    bool m_quiet = false;
    // The user clicked or typed since the last question.
    bool m_touched = false;
    bool m_showedPage = false;
};

} // namespace qz
