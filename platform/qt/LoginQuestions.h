#pragma once

class QWebEnginePage;

namespace qz::LoginQuestions {

// A site or a proxy that asks for a user name and a password (HTTP authentication) gets them from
// a question in Chinese naming who asks; cancelled, the page shows the server's refusal. Like a page's
// own dialogs, the question blocks only the window of its page.
void answerFor(QWebEnginePage* page);

} // namespace qz::LoginQuestions
