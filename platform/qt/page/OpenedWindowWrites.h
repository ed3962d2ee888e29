#pragma once

class QWebEnginePage;

namespace qz {

// Writes of a page into an empty window it has just opened (w = window.open(''); w.document.write(...)).
// Qt WebEngine 6.4's browser process dies when the opener touches the new window's initial empty
// document, so a script in the page's own world holds such writes back and hands them over once
// the window has the empty document the shell gives it. The page keeps the window object it opened.
class OpenedWindowWrites final {
public:
    explicit OpenedWindowWrites(QWebEnginePage* page);
};

} // namespace qz
