#include "QtDesktop.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

#include "InternetOptionsDialog.h"
#include "platform/Errors.h"
#include "platform/qt/LiteralText.h"
#include "platform/qt/Utf16.h"
#include "platform/qt/tray/QtTraySystemCalls.h"

namespace qz {

namespace {
using Button = QMessageBox::StandardButton;

// The window system's own answers and the texts its buttons carry.
struct ButtonName {
    Button button;
    std::int32_t answer;
    const char16_t* text;
};
constexpr ButtonName kButtonNames[] = {
    { QMessageBox::Ok, 1, u"确定" },
    { QMessageBox::Cancel, 2, u"取消" },
    { QMessageBox::Abort, 3, u"中止" },
    { QMessageBox::Retry, 4, u"重试" },
    { QMessageBox::Ignore, 5, u"忽略" },
    { QMessageBox::Yes, vbYes, u"是" },
    { QMessageBox::No, vbNo, u"否" },
};

// The button groups of the low four bits of the buttons argument, and what Escape or the
// close box answers (none: Qt picks the rejecting button).
struct ButtonGroup {
    std::array<Button, 3> buttons;
    Button escape;
};
constexpr ButtonGroup kButtonGroups[] = {
    { { QMessageBox::Ok }, QMessageBox::Ok },
    { { QMessageBox::Ok, QMessageBox::Cancel }, QMessageBox::Cancel },
    { { QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore }, QMessageBox::NoButton },
    { { QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel }, QMessageBox::Cancel },
    { { QMessageBox::Yes, QMessageBox::No }, QMessageBox::No },
    { { QMessageBox::Retry, QMessageBox::Cancel }, QMessageBox::Cancel },
};

// Bits 4-6 choose the icon; none means no icon at all.
constexpr QMessageBox::Icon kIcons[] = {
    QMessageBox::NoIcon,
    QMessageBox::Critical,
    QMessageBox::Question,
    QMessageBox::Warning,
    QMessageBox::Information,
};

const ButtonName& nameOf(Button button) {
    return *std::find_if(std::begin(kButtonNames), std::end(kButtonNames),
        [button](const ButtonName& name) { return name.button == button; });
}

template<typename Table> const auto& entryAt(const Table& table, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= std::size(table))
        throw PlatformError("MsgBox: invalid buttons argument");
    return table[index];
}
} // namespace

QtDesktop::QtDesktop(QWidget* owner, QWebEngineProfile* profile, ProxyInUse proxy)
    : m_owner(owner)
    , m_profile(profile)
    , m_proxy(std::move(proxy)) {}

QWidget* QtDesktop::shownOwner() const {
    return m_owner && m_owner->isVisible() ? m_owner.data() : nullptr;
}

std::int32_t QtDesktop::MsgBox(
    const std::u16string& prompt, std::int32_t buttons, const std::u16string& title) {
    const ButtonGroup& group = entryAt(kButtonGroups, buttons & 0xF);
    const QMessageBox::Icon icon = entryAt(kIcons, (buttons >> 4) & 0x7);
    const auto defaultIndex = static_cast<std::size_t>((buttons >> 8) & 0x3);

    QMessageBox box(shownOwner());
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(icon);
    box.setWindowTitle(literalWindowTitle(toQString(title)));
    box.setTextFormat(Qt::PlainText); // a prompt that looks like markup is still shown as written
    box.setText(toQString(prompt));
    QPushButton* defaultButton = nullptr;
    for (std::size_t i = 0; i < group.buttons.size() && group.buttons[i] != QMessageBox::NoButton; ++i) {
        QPushButton* button = box.addButton(group.buttons[i]);
        button->setText(literalMenuText(toQString(nameOf(group.buttons[i]).text)));
        // Some styles put a picture on standard buttons; the box shows words only.
        button->setIcon(QIcon());
        if (i == defaultIndex || !defaultButton)
            defaultButton = button;
    }
    box.setDefaultButton(defaultButton);
    if (group.escape != QMessageBox::NoButton)
        box.setEscapeButton(group.escape);

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    // No button clicked: the event loop was told to end (the session is ending); that is a refusal.
    const Button answer = clicked               ? box.standardButton(clicked)
        : group.escape != QMessageBox::NoButton ? group.escape
                                                : group.buttons[0];
    return nameOf(answer).answer;
}

void QtDesktop::DoEvents() {
    QCoreApplication::processEvents();
}

std::int64_t QtDesktop::Shell(const std::u16string& commandLine, std::int32_t) {
    const QString line = toQString(commandLine);
    if (line == QString::fromUtf16(kInternetOptionsCommand)) {
        // There is no control panel to run here: the shell's own dialog stands in for it, in process.
        showInternetOptions(m_internetOptions, shownOwner(), m_profile, m_proxy);
        return QCoreApplication::applicationPid();
    }
    const QStringList words = QProcess::splitCommand(line);
    if (words.isEmpty())
        throw PlatformError("Shell: empty command line");
    qint64 pid = 0;
    if (!QProcess::startDetached(words.first(), words.mid(1), QString(), &pid))
        throw PlatformError("Shell: cannot start " + words.first().toStdString());
    return pid;
}

bool QtDesktop::NotificationAreaAvailable() {
    return QtTraySystemCalls::trayHostAvailable();
}

} // namespace qz
