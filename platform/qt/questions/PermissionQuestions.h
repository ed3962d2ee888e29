#pragma once

#include <QWebEnginePage>

namespace qz {

// Every permission a page asks for gets an answer: a question naming the site and what it asks
// for, with 允许 and 拒绝. The answer holds for that site and that permission until the shell ends;
// the shell keeps no settings. While the main window is hidden the answer is no, unasked: nothing
// may wait on a window the user cannot see.
class PermissionQuestions final {
public:
    // Watches the page's requests for permissions, storage and protocol handlers.
    static void answerFor(QWebEnginePage* page);

    // Whether the user allowed the site to show notifications, as answered so far.
    static bool mayNotify(const QUrl& origin);
};

} // namespace qz
