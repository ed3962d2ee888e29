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

#include "PageWindow.h"
#include "platform/qt/LiteralText.h"
#include "platform/qt/SiteName.h"

namespace qz {

LoginQuestions::LoginQuestions(QWebEnginePage* page)
    : m_page(page) {
    connect(page, &QWebEnginePage::loadStarted, this, [this] { m_cancelled.clear(); });
    connect(page, &QWebEnginePage::authenticationRequired, this,
        [this](const QUrl& address, QAuthenticator* authenticator) {
            QString text = QStringLiteral("%1 要求输入用户名和密码。").arg(siteName(address));
            if (const QString realm = authenticator->realm(); !realm.isEmpty())
                text += QStringLiteral("\n该网站说：%1").arg(realm);
            ask(siteName(address) + u'\n' + authenticator->realm(),
                QStringLiteral("来自 %1 的登录请求").arg(siteName(address)), text, authenticator);
        });
    connect(page, &QWebEnginePage::proxyAuthenticationRequired, this,
        [this](const QUrl&, QAuthenticator* authenticator, const QString& proxyHost) {
            ask(proxyHost + u'\n' + authenticator->realm(), QStringLiteral("代理服务器登录"),
                QStringLiteral("代理服务器 %1 要求输入用户名和密码。").arg(proxyHost), authenticator);
        });
}

void LoginQuestions::ask(
    const QString& asker, const QString& caption, const QString& text, QAuthenticator* authenticator) {
    if (m_cancelled.contains(asker)) {
        *authenticator = QAuthenticator();
        return;
    }
    QPointer<QDialog> dialog = new QDialog(pageWindow(m_page));
    dialog->setWindowTitle(literalWindowTitle(caption));
    dialog->setAccessibleName(caption);
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
    // What is typed first is the user name; Enter anywhere is 登录, the default button.
    user->setFocus();

    const QPointer<LoginQuestions> alive(this);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    // A null authenticator is the engine's way to cancel; so it is when the window went meanwhile.
    if (!dialog || !accepted) {
        *authenticator = QAuthenticator();
        if (dialog && alive)
            m_cancelled.insert(asker);
    } else {
        authenticator->setUser(user->text());
        authenticator->setPassword(password->text());
    }
    delete dialog;
}

} // namespace qz
