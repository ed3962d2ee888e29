#include "LoginQuestions.h"

#include <QAuthenticator>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "LiteralText.h"
#include "SiteName.h"

namespace qz::LoginQuestions {

namespace {
void ask(QWebEnginePage* page, const QString& caption, const QString& text, QAuthenticator* authenticator) {
    QWebEngineView* view = QWebEngineView::forPage(page);
    QPointer<QDialog> dialog = new QDialog(view ? view->window() : nullptr);
    dialog->setWindowTitle(literalWindowTitle(caption));
    dialog->setWindowModality(Qt::WindowModal);

    auto* layout = new QFormLayout(dialog);
    auto* message = new QLabel(text, dialog);
    message->setTextFormat(Qt::PlainText); // the realm is the server's text
    message->setWordWrap(true);
    layout->addRow(message);
    auto* user = new QLineEdit(authenticator->user(), dialog);
    layout->addRow(QStringLiteral("用户名："), user);
    auto* password = new QLineEdit(dialog);
    password->setEchoMode(QLineEdit::Password);
    layout->addRow(QStringLiteral("密码："), password);
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(QStringLiteral("登录"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addRow(buttons);
    user->setFocus();

    const bool accepted = dialog->exec() == QDialog::Accepted;
    // A null authenticator is the engine's way to cancel; so it is when the window went meanwhile.
    if (!dialog || !accepted) {
        *authenticator = QAuthenticator();
    } else {
        authenticator->setUser(user->text());
        authenticator->setPassword(password->text());
    }
    delete dialog;
}
} // namespace

void answerFor(QWebEnginePage* page) {
    QObject::connect(page, &QWebEnginePage::authenticationRequired, page,
        [page](const QUrl& address, QAuthenticator* authenticator) {
            QString text = QStringLiteral("%1 要求输入用户名和密码。").arg(siteName(address));
            if (const QString realm = authenticator->realm(); !realm.isEmpty())
                text += QStringLiteral("\n该网站说：%1").arg(realm);
            ask(page, QStringLiteral("来自 %1 的登录请求").arg(siteName(address)), text, authenticator);
        });
    QObject::connect(page, &QWebEnginePage::proxyAuthenticationRequired, page,
        [page](const QUrl&, QAuthenticator* authenticator, const QString& proxyHost) {
            ask(page, QStringLiteral("代理服务器登录"),
                QStringLiteral("代理服务器 %1 要求输入用户名和密码。").arg(proxyHost), authenticator);
        });
}

} // namespace qz::LoginQuestions
