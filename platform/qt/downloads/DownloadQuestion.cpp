#include "DownloadQuestion.h"

#include <QPushButton>

#include "DownloadText.h"

namespace qz {

DownloadQuestion::DownloadQuestion(const QString& fileName, qint64 size, const QString& site)
    : QMessageBox(QMessageBox::Question, QStringLiteral("下载文件"), QString())
    , m_fileName(fileName)
    , m_size(size)
    , m_site(site)
    , m_open(addButton(QStringLiteral("打开"), QMessageBox::AcceptRole))
    , m_save(addButton(QStringLiteral("保存"), QMessageBox::AcceptRole))
    , m_cancel(addButton(QStringLiteral("取消"), QMessageBox::RejectRole)) {
    setTextFormat(Qt::PlainText);
    setAccessibleName(windowTitle());
    setDefaultButton(m_save);
    setEscapeButton(m_cancel);
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_DeleteOnClose);
    updateText();
    connect(this, &QMessageBox::finished, this, [this] {
        const QAbstractButton* clicked = clickedButton();
        emit answered(clicked == m_open ? DownloadAnswer::Open
                : clicked == m_save     ? DownloadAnswer::Save
                                        : DownloadAnswer::Cancel);
    });
}

void DownloadQuestion::setSize(qint64 size) {
    m_size = size;
    updateText();
}

void DownloadQuestion::answer(DownloadAnswer answer) {
    (answer == DownloadAnswer::Open ? m_open : answer == DownloadAnswer::Save ? m_save : m_cancel)->click();
}

void DownloadQuestion::updateText() {
    const QString text = QStringLiteral("要保存这个文件吗？\n\n文件名：%1\n大小：%2\n来自：%3");
    setText(text.arg(m_fileName, DownloadText::size(m_size), m_site));
}

} // namespace qz
