#pragma once

#include <map>
#include <vector>

#include <QObject>
#include <QSet>
#include <QString>
#include <QWebEngineCertificateError>

class QWebEnginePage;

namespace qz {

// A site whose certificate the engine does not trust (signed by the site itself, for another name,
// out of date) is shown only if the user says so: a warning in Chinese names the site and what is
// wrong, 返回 being the default. Errors the engine never lets pass are refused without a question.
// A page asks once per site: errors for a site whose question is open wait for its answer, and a
// site refused is refused unasked until the page goes to another address.
class CertificateQuestions final : public QObject {
public:
    explicit CertificateQuestions(QWebEnginePage* page);

private:
    void answer(QWebEngineCertificateError error);
    void ask(const QString& site, QWebEngineCertificateError::Type type);

    QWebEnginePage* m_page;
    std::map<QString, std::vector<QWebEngineCertificateError>> m_waiting; // by site
    QSet<QString> m_refused;
};

} // namespace qz
