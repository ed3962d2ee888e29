#include "CertificateQuestions.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "LiteralText.h"
#include "SiteName.h"

namespace qz::CertificateQuestions {

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

void ask(QWebEnginePage* page, QWebEngineCertificateError error) {
    const QString site = siteName(error.url());
    QWebEngineView* view = QWebEngineView::forPage(page);
    auto* box = new QMessageBox(QMessageBox::Warning, literalWindowTitle(QStringLiteral("安全警告")),
        QStringLiteral("%1 的安全证书有问题：%2。\n继续访问，您发送和看到的内容可能被他人窃取或篡改。")
            .arg(site, whatIsWrong(error.type())),
        QMessageBox::NoButton, view ? view->window() : nullptr);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    QPushButton* proceed = box->addButton(QStringLiteral("继续访问"), QMessageBox::AcceptRole);
    QPushButton* back = box->addButton(QStringLiteral("返回"), QMessageBox::RejectRole);
    box->setDefaultButton(back);
    box->setEscapeButton(back);
    // A box that goes with its window answers nothing: the page it asked for is gone with it.
    QObject::connect(box, &QMessageBox::finished, box, [box, proceed, error]() mutable {
        if (box->clickedButton() == proceed)
            error.acceptCertificate();
        else
            error.rejectCertificate();
    });
    box->open();
}
} // namespace

void answerFor(QWebEnginePage* page) {
    QObject::connect(page, &QWebEnginePage::certificateError, page, [page](QWebEngineCertificateError error) {
        if (!error.isOverridable())
            return; // refused, with the engine's own error page
        error.defer();
        ask(page, error);
    });
}

} // namespace qz::CertificateQuestions
