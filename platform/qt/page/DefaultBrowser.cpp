#include "DefaultBrowser.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "platform/qt/LiteralText.h"

namespace qz::DefaultBrowser {

void open(const QUrl& address, QWidget* parent) {
    if (QDesktopServices::openUrl(address))
        return;
    // Never a silent nothing: the user clicked and expects a page somewhere.
    auto* box = new QMessageBox(QMessageBox::Warning, literalWindowTitle(QStringLiteral("无法打开网址")),
        QStringLiteral("找不到可以打开这个网址的浏览器，或者浏览器没能启动：\n\n%1\n\n"
                       "您可以复制这个网址，粘贴到浏览器的地址栏中打开。")
            .arg(address.toDisplayString()),
        QMessageBox::NoButton, parent);
    box->setTextFormat(Qt::PlainText); // the address is the page's text
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (parent)
        box->setWindowModality(Qt::WindowModal);
    QPushButton* copy = box->addButton(QStringLiteral("复制网址"), QMessageBox::AcceptRole);
    QPushButton* close = box->addButton(QStringLiteral("关闭"), QMessageBox::RejectRole);
    box->setDefaultButton(copy);
    box->setEscapeButton(close);
    QObject::connect(box, &QMessageBox::finished, box, [box, copy, address] {
        if (box->clickedButton() == copy)
            QGuiApplication::clipboard()->setText(address.toString(QUrl::FullyEncoded));
    });
    box->open();
}

} // namespace qz::DefaultBrowser
