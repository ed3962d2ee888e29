#include <functional>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWindow>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/Errors.h"
#include "platform/qt/Utf16.h"
#include "platform/qt/window/InternetOptionsDialog.h"
#include "platform/qt/window/QtDesktop.h"

namespace qz {
namespace {

// What a message box looked like while it was up.
struct SeenBox {
    QString title;
    QString shownTitle;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    bool modal = false;
};

// Waits for the message box, records it, then answers it with the given action.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::function<void(QMessageBox&)> answer)
        : m_answer(std::move(answer)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }

    SeenBox seen;
    bool answered = false;

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        m_timer.stop();
        seen.title = box->windowTitle();
        seen.shownTitle = box->windowHandle() ? box->windowHandle()->title() : QString();
        seen.text = box->text();
        seen.icon = box->icon();
        for (const QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
        seen.buttons.sort();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        seen.modal = box->isModal();
        answered = true;
        m_answer(*box);
    }

    std::function<void(QMessageBox&)> m_answer;
    QTimer m_timer;
};

void clickButton(QMessageBox& box, const QString& text) {
    for (QAbstractButton* button : box.buttons()) {
        if (button->text() == text)
            button->click();
    }
}

void pressKey(QMessageBox& box, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&box, &press);
}

struct AnswerCase {
    const char* name;
    std::function<void(QMessageBox&)> answer;
    std::int32_t result;
    bool endsTheLoops = false;
};

class QtDesktopMsgBox : public testing::TestWithParam<AnswerCase> {};

TEST_P(QtDesktopMsgBox, YesNoAnswersSixOrSeven) {
    QtDesktop desktop(nullptr, nullptr);
    BoxAnswerer answerer(GetParam().answer);
    const std::int32_t result = desktop.MsgBox(u"你真的要退出QZ吗？", vbYesNo, u"请确认");
    if (GetParam().endsTheLoops)
        test::clearApplicationExit();
    ASSERT_TRUE(answerer.answered);
    EXPECT_EQ(result, GetParam().result);
    EXPECT_EQ(answerer.seen.title, QStringLiteral("请确认"));
    EXPECT_EQ(answerer.seen.text, QStringLiteral("你真的要退出QZ吗？"));
    EXPECT_EQ(answerer.seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(answerer.seen.buttons, QStringList({ "否", "是" }));
    EXPECT_EQ(answerer.seen.defaultButton, QStringLiteral("是"));
    EXPECT_TRUE(answerer.seen.modal);
}

INSTANTIATE_TEST_SUITE_P(Answers, QtDesktopMsgBox,
    testing::Values(AnswerCase { "Yes", [](QMessageBox& box) { clickButton(box, "是"); }, vbYes },
        AnswerCase { "No", [](QMessageBox& box) { clickButton(box, "否"); }, vbNo },
        AnswerCase { "Enter", [](QMessageBox& box) { pressKey(box, Qt::Key_Return); }, vbYes },
        AnswerCase { "Escape", [](QMessageBox& box) { pressKey(box, Qt::Key_Escape); }, vbNo },
        AnswerCase { "Close", [](QMessageBox& box) { box.close(); }, vbNo },
        // The session ends while the question is up: every loop is told to end.
        AnswerCase { "LoopEnds",
            [](QMessageBox&) { QTimer::singleShot(0, [] { QCoreApplication::exit(0); }); }, vbNo, true }),
    [](const testing::TestParamInfo<AnswerCase>& p) { return std::string(p.param.name); });

TEST(QtDesktop, MsgBoxShowsTitleAndPromptExactly) {
    QtDesktop desktop(nullptr, nullptr);
    BoxAnswerer answerer([](QMessageBox& box) { pressKey(box, Qt::Key_Escape); });
    desktop.MsgBox(u"<b>not bold</b> & [*]", vbYesNo, u"确认 [*] a&b");
    ASSERT_TRUE(answerer.answered);
    EXPECT_EQ(answerer.seen.shownTitle, QStringLiteral("确认 [*] a&b"));
    EXPECT_EQ(answerer.seen.text, QStringLiteral("<b>not bold</b> & [*]"));
}

TEST(QtDesktop, MsgBoxBelongsToItsOwnerWhileTheOwnerIsShown) {
    QWidget owner;
    QtDesktop desktop(&owner, nullptr);
    QWidget* parent = nullptr;
    BoxAnswerer answerer([&](QMessageBox& box) {
        parent = box.parentWidget();
        pressKey(box, Qt::Key_Escape);
    });
    desktop.MsgBox(u"?", vbYesNo, u"t");
    EXPECT_EQ(parent, nullptr); // hidden owner: the box stands alone

    owner.show();
    BoxAnswerer again([&](QMessageBox& box) {
        parent = box.parentWidget();
        pressKey(box, Qt::Key_Escape);
    });
    desktop.MsgBox(u"?", vbYesNo, u"t");
    EXPECT_EQ(parent, &owner);
}

TEST(QtDesktop, MsgBoxRejectsUnknownButtonGroups) {
    QtDesktop desktop(nullptr, nullptr);
    EXPECT_THROW(desktop.MsgBox(u"?", 6, u"t"), PlatformError);
    EXPECT_THROW(desktop.MsgBox(u"?", vbYesNo | 0x70, u"t"), PlatformError);
}

TEST(QtDesktop, DoEventsDispatchesWhatIsPending) {
    QtDesktop desktop(nullptr, nullptr);
    int ran = 0;
    QObject context;
    const auto count = [&] { ++ran; };
    QMetaObject::invokeMethod(&context, count, Qt::QueuedConnection);
    QMetaObject::invokeMethod(&context, count, Qt::QueuedConnection);
    EXPECT_EQ(ran, 0);
    desktop.DoEvents();
    EXPECT_EQ(ran, 2);
}

TEST(QtDesktop, ShellStartsTheCommandLineSplitAsAShellWould) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const QString target = directory.filePath(QStringLiteral("out put.txt"));
    QtDesktop desktop(nullptr, nullptr);
    const std::u16string line = u"/bin/sh -c \"echo started > '" + target.toStdU16String() + u"'\"";
    const std::int64_t pid = desktop.Shell(line, vbNormalFocus);
    EXPECT_GT(pid, 0);
    ASSERT_TRUE(test::waitFor([&] { return QFile(target).size() > 0; }));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("started\n"));
}

TEST(QtDesktop, ShellFailsWhenNothingCanStart) {
    QtDesktop desktop(nullptr, nullptr);
    EXPECT_THROW(desktop.Shell(u"/nonexistent/qz-program --flag", vbNormalFocus), PlatformError);
    EXPECT_THROW(desktop.Shell(u"", vbNormalFocus), PlatformError);
    EXPECT_THROW(desktop.Shell(u"   ", vbNormalFocus), PlatformError);
}

TEST(QtDesktop, InternetOptionsLineOpensTheShellsOwnDialog) {
    QWebEngineProfile profile;
    QtDesktop desktop(nullptr, &profile);
    const std::int64_t pid
        = desktop.Shell(u"rundll32 shell32.dll, Control_RunDLL Inetcpl.cpl", vbNormalFocus);
    EXPECT_EQ(pid, QCoreApplication::applicationPid());
    InternetOptionsDialog* dialog = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<InternetOptionsDialog*>(window); found && found->isVisible())
            dialog = found;
    }
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isModal());
    dialog->close();
    test::flushDeletions();
}

TEST(QtDesktop, NotificationAreaIsWhatQtFinds) {
    QtDesktop desktop(nullptr, nullptr);
    EXPECT_EQ(desktop.NotificationAreaAvailable(), QSystemTrayIcon::isSystemTrayAvailable());
}

} // namespace
} // namespace qz
