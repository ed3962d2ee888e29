#include "ExternalLinkQuestion.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "DesktopProgram.h"
#include "platform/qt/LiteralText.h"

namespace qz {

namespace {
QString questionText(const QUrl& address) {
    // Shown whole and as the page wrote it: the user decides on what will really be opened.
    QString text = QStringLiteral("要用外部程序打开此链接吗？\n\n%1").arg(address.toDisplayString());
    const std::string program = desktopProgramFor(address.scheme().toStdString());
    if (!program.empty())
        text += QStringLiteral("\n\n将使用：%1").arg(QString::fromStdString(program));
    return text;
}

void tellNotOpened(const QUrl& address, QWidget* parent) {
    auto* box = new QMessageBox(QMessageBox::Warning, literalWindowTitle(QStringLiteral("无法打开链接")),
        QStringLiteral("没有可以打开此链接的程序，或者程序没能启动：\n\n%1").arg(address.toDisplayString()),
        QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box->open();
}
} // namespace

void askToOpenExternally(const QUrl& address, QWidget* parent) {
    auto* box = new QMessageBox(QMessageBox::Question, literalWindowTitle(QStringLiteral("打开外部程序")),
        questionText(address), QMessageBox::NoButton, parent);
    box->setTextFormat(Qt::PlainText); // the address is the page's text
    box->setAccessibleName(QStringLiteral("打开外部程序"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (parent)
        box->setWindowModality(Qt::WindowModal);
    QPushButton* open = box->addButton(QStringLiteral("打开"), QMessageBox::AcceptRole);
    QPushButton* cancel = box->addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    // A stray Enter sends nothing out of the shell.
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    QObject::connect(box, &QMessageBox::finished, box, [box, open, address, parent] {
        if (box->clickedButton() == open && !QDesktopServices::openUrl(address))
            tellNotOpened(address, parent);
    });
    box->open();
}

} // namespace qz
