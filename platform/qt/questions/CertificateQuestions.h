#pragma once

#include <functional>
#include <map>
#include <vector>

#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QWebEngineCertificateError>

class QWebEnginePage;

namespace qz {

// A site whose certificate the engine does not trust (signed by the site itself, for another name,
// out of date) is shown only if the user says so: a warning in Chinese names the site and what is
// wrong, 返回 being the default. A site whose identity the shell itself trusts (the portal, when
// it is reached over https) is refused unasked: that identity is the very thing trusted. It is asked only for
// the page a window goes to: content a page embeds from such a site is refused unasked. A 继续访问 holds for
// that site until the shell ends (the engine keeps it in memory only). Errors the engine never lets pass are
// refused without a question. A page asks once per site: errors for a site whose question is open wait for
// its answer, and a site refused is refused unasked until the page goes to another address.
class CertificateQuestions final : public QObject {
public:
    // Tells the sites whose certificate must be good, whatever the user would answer.
    using Untouchable = std::function<bool(const QUrl&)>;

    explicit CertificateQuestions(QWebEnginePage* page, Untouchable untouchable = {});

    // The page's window is going to address at its top level (each hop of a redirect included).
    void goingTo(const QUrl& address);

private:
    bool forMainFrame(const QWebEngineCertificateError& error) const;
    void answer(QWebEngineCertificateError error);
    void ask(const QString& site, QWebEngineCertificateError::Type type);

    QWebEnginePage* m_page;
    Untouchable m_untouchable;
    std::map<QString, std::vector<QWebEngineCertificateError>> m_waiting; // by site
    QSet<QString> m_refused;
    QUrl m_goingTo;
};

} // namespace qz
