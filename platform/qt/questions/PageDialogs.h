#pragma once

#include <QString>
#include <QUrl>

class QWebEnginePage;

namespace qz {

// The questions a page's scripts ask (alert, confirm, prompt, the leave-page question), in Chinese
// and naming the site. Each blocks only the window of its page, so the tray menu and the other
// windows go on working. From a page's second dialog on, the user may stop its dialogs; after that
// they answer at once as if dismissed.
class PageDialogs final {
public:
    explicit PageDialogs(QWebEnginePage* page);

    void alert(const QUrl& origin, const QString& text);
    bool confirm(const QUrl& origin, const QString& text);
    // answer holds the proposed text and receives the user's; false when cancelled.
    bool prompt(const QUrl& origin, const QString& text, QString* answer);

    // A new document of the page may show dialogs again.
    void reset();

private:
    bool ask(const QUrl& origin, const QString& text, bool cancellable, QString* answer);

    QWebEnginePage* m_page;
    int m_shown = 0;
    bool m_stopped = false;
};

} // namespace qz
