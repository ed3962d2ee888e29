#include "PageDialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWebEnginePage>

#include "PageWindow.h"
#include "platform/qt/LiteralText.h"
#include "platform/qt/SiteName.h"

namespace qz {

namespace {
// The engine asks its leave-page question through confirm, with this text of its own.
constexpr char kEngineLeaveQuestion[]
    = "Are you sure you want to leave this page? Changes that you made may not be saved.";

bool isLeaveQuestion(const QString& text) {
    return text == QLatin1String(kEngineLeaveQuestion)
        || text == QCoreApplication::translate("QWebEnginePage", kEngineLeaveQuestion);
}
} // namespace

PageDialogs::PageDialogs(QWebEnginePage* page)
    : m_page(page) {}

void PageDialogs::alert(const QUrl& origin, const QString& text) {
    ask(origin, text, false, nullptr);
}

bool PageDialogs::confirm(const QUrl& origin, const QString& text) {
    if (isLeaveQuestion(text))
        return ask(origin, QStringLiteral("确定要离开此页面吗？您所做的更改可能不会保存。"), true, nullptr);
    return ask(origin, text, true, nullptr);
}

bool PageDialogs::prompt(const QUrl& origin, const QString& text, QString* answer) {
    return ask(origin, text, true, answer);
}

void PageDialogs::reset() {
    m_shown = 0;
    m_stopped = false;
}

bool PageDialogs::ask(const QUrl& origin, const QString& text, bool cancellable, QString* answer) {
    if (m_stopped)
        return false;
    QPointer<QDialog> dialog = new QDialog(pageWindow(m_page));
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    const QString caption = QStringLiteral("来自 %1 的网页消息").arg(siteName(origin));
    dialog->setWindowTitle(literalWindowTitle(caption));
    dialog->setAccessibleName(caption);
    // Only the page's own window waits for the answer; the tray menu does not.
    dialog->setWindowModality(Qt::WindowModal);

    auto* layout = new QVBoxLayout(dialog);
    auto* message = new QLabel(text, dialog);
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(message);
    QLineEdit* field = nullptr;
    if (answer) {
        field = new QLineEdit(*answer, dialog);
        layout->addWidget(field);
    }
    QCheckBox* stop = nullptr;
    if (++m_shown > 1) {
        stop = new QCheckBox(QStringLiteral("禁止此网页再显示对话框"), dialog);
        layout->addWidget(stop);
    }
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    if (cancellable)
        buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    // The first field would otherwise take the keyboard, the "no more dialogs" box among them; a
    // prompt's answer is typed.
    (field ? static_cast<QWidget*>(field) : ok)->setFocus();

    const bool accepted = dialog->exec() == QDialog::Accepted;
    // The window the dialog belonged to may have gone while it was open.
    if (!dialog)
        return false;
    if (stop && stop->isChecked())
        m_stopped = true;
    if (accepted && field)
        *answer = field->text();
    delete dialog;
    return accepted;
}

} // namespace qz
