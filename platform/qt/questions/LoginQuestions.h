#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class QAuthenticator;
class QWebEnginePage;

namespace qz {

// A site or a proxy that asks for a user name and a password (HTTP authentication) gets them from
// a question in Chinese naming who asks; cancelled, the page shows the server's refusal. Like a page's
// own dialogs, the question blocks only the window of its page. A login cancelled is not asked for
// again, for the same site and realm, until the page goes to another address: a page of many
// protected pictures asks once.
class LoginQuestions final : public QObject {
public:
    explicit LoginQuestions(QWebEnginePage* page);

private:
    void ask(
        const QString& asker, const QString& caption, const QString& text, QAuthenticator* authenticator);

    QWebEnginePage* m_page;
    QSet<QString> m_cancelled; // site and realm
};

} // namespace qz
