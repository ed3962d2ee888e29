#pragma once

#include <functional>

#include <QHash>
#include <QObject>
#include <QWebEnginePage>

namespace qz {

class WindowPresence;

// Every permission a page asks for gets an answer: a question naming the site and what it asks
// for, with 允许 and 拒绝. The answer holds for that site and that permission until the shell ends;
// the shell keeps no settings. While the main window is not shown the answer is no, unasked: nothing
// may wait on a window the user cannot see. One for all the pages of the shell's profile: they share the
// answers.
class PermissionQuestions final : public QObject {
    Q_OBJECT
public:
    explicit PermissionQuestions(const WindowPresence& mainWindow);

    // Watches the page's requests for permissions, storage and protocol handlers.
    void answerFor(QWebEnginePage* page);

    // Whether the user allowed the site to show notifications, as answered so far.
    bool mayNotify(const QUrl& origin) const;

private:
    using Answer = std::function<void(bool allowed)>;

    // Asks once per site and wish; later requests get the answer given.
    void ask(
        QWebEnginePage* page, const QUrl& origin, const QString& key, const QString& wish, Answer answer);

    const WindowPresence& m_mainWindow;
    // The answers of this run, by site and what was asked ("feature:1", "quota", "protocol:mailto").
    QHash<QString, bool> m_answers;
};

} // namespace qz
