#include "CertificateQuestions.h"

#include <utility>

#include <QMessageBox>
#include <QPushButton>
#include <QWebEnginePage>
#include <QtGlobal>

#include "PageWindow.h"
#include "platform/qt/LiteralText.h"
#include "platform/qt/SiteName.h"

namespace qz {

namespace {
QString whatIsWrong(QWebEngineCertificateError::Type type) {
    switch (type) {
    case QWebEngineCertificateError::CertificateCommonNameInvalid:
        return QStringLiteral("证书上的名称与网站的地址不符");
    case QWebEngineCertificateError::CertificateDateInvalid:
        return QStringLiteral("证书已过期或尚未生效");
    case QWebEngineCertificateError::CertificateAuthorityInvalid:
        return QStringLiteral("证书不是由受信任的机构颁发的");
    case QWebEngineCertificateError::CertificateRevoked:
        return QStringLiteral("证书已被吊销");
    default:
        return QStringLiteral("证书无效");
    }
}
} // namespace

CertificateQuestions::CertificateQuestions(QWebEnginePage* page, Untouchable untouchable)
    : m_page(page)
    , m_untouchable(std::move(untouchable)) {
    connect(page, &QWebEnginePage::certificateError, this, &CertificateQuestions::answer);
    connect(page, &QWebEnginePage::loadStarted, this, [this] { m_refused.clear(); });
}

void CertificateQuestions::goingTo(const QUrl& address) {
    m_goingTo = address;
}

bool CertificateQuestions::forMainFrame(const QWebEngineCertificateError& error) const {
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    return error.isMainFrame();
#else
    // Qt 6.4 does not say which frame an error is for: it is the page's own when it is for the site
    // the page is going to.
    const QUrl url = error.url();
    return url.scheme() == m_goingTo.scheme() && url.host() == m_goingTo.host()
        && url.port(443) == m_goingTo.port(443);
#endif
}

void CertificateQuestions::answer(QWebEngineCertificateError error) {
    if (!error.isOverridable())
        return; // refused, with the engine's own error page
    // A picture or script the page embeds from such a site is refused unasked, as browsers do: the
    // question is about the page the user went to, never about what a page pulls in. The page's
    // error names the certificate.
    if (!forMainFrame(error) || (m_untouchable && m_untouchable(error.url()))) {
        error.rejectCertificate();
        return;
    }
    const QString site = siteName(error.url());
    if (m_refused.contains(site)) {
        error.rejectCertificate();
        return;
    }
    error.defer();
    auto& waiting = m_waiting[site];
    waiting.push_back(error);
    if (waiting.size() == 1)
        ask(site, error.type());
}

void CertificateQuestions::ask(const QString& site, QWebEngineCertificateError::Type type) {
    auto* box = new QMessageBox(QMessageBox::Warning, literalWindowTitle(QStringLiteral("安全警告")),
        QStringLiteral("%1 的安全证书有问题：%2。\n继续访问，您发送和看到的内容可能被他人窃取或篡改。")
            .arg(site, whatIsWrong(type)),
        QMessageBox::NoButton, pageWindow(m_page));
    box->setTextFormat(Qt::PlainText);
    box->setAccessibleName(QStringLiteral("安全警告"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    QPushButton* proceed = box->addButton(QStringLiteral("继续访问"), QMessageBox::AcceptRole);
    QPushButton* back = box->addButton(QStringLiteral("返回"), QMessageBox::RejectRole);
    box->setDefaultButton(back);
    box->setEscapeButton(back);
    connect(box, &QMessageBox::finished, this, [this, box, proceed, site] {
        const bool accepted = box->clickedButton() == proceed;
        if (!accepted)
            m_refused.insert(site);
        auto errors = m_waiting.extract(site);
        for (QWebEngineCertificateError& error : errors.mapped()) {
            if (accepted)
                error.acceptCertificate();
            else
                error.rejectCertificate();
        }
    });
    box->open();
}

} // namespace qz
