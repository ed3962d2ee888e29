#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "app/ErrorBoundary.h"
#include "app/FormEvents.h"
#include "commands/MenuTree.h"
#include "platform/Errors.h"
#include "platform/qt/Utf16.h"
#include "platform/qt/tray/HandleTable.h"
#include "platform/qt/tray/TrayPopupPosition.h"
#include "platform/qt/window/MainWindow.h"
#include "platform/qt/window/MenuBuilder.h"
#include "platform/qt/window/QtDesktop.h"
#include "platform/qt/window/QtScreen.h"
#include "platform/qt/window/QtTimer.h"
#include "platform/qt/window/QtWindow.h"
#include "platform/qt/window/Surface.h"

namespace qz {
namespace {

QString text(std::u16string_view caption) {
    return toQString(caption);
}
QString text(std::string_view ascii) {
    return QString::fromLatin1(ascii.data(), qsizetype(ascii.size()));
}

class MenuBuilderTest : public testing::Test {
protected:
    void TearDown() override { test::flushDeletions(); }

    // Shows the window and makes it the active one, as shortcuts need.
    void activate() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(test::waitFor([&] { return window.isActiveWindow(); }));
    }

    // A key pressed in the given widget, delivered as a keyboard's would be, shortcuts first.
    static void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
        const QString& typed = {}) {
        QKeyEvent pressEvent(QEvent::KeyPress, key, modifiers, typed);
        QApplication::sendEvent(target, &pressEvent);
        QKeyEvent releaseEvent(QEvent::KeyRelease, key, modifiers, typed);
        QApplication::sendEvent(target, &releaseEvent);
    }

    MainWindow window;
    std::vector<std::string> picked;
    std::function<void()> duringPick;
    MenuBuilder menus { window, kMenuTree, [this](const MenuItem& entry) {
                           picked.emplace_back(entry.name);
                           if (duringPick)
                               duringPick();
                       } };
};

TEST_F(MenuBuilderTest, BarShowsTheFiveTitlesExactlyAndInOrder) {
    QStringList titles;
    for (const QAction* title : window.menuBar()->actions())
        titles << title->text();
    EXPECT_EQ(titles, QStringList({ "Q  Z(Q)", "操作(O)", "编辑(E)", "打印(P)", "帮助(H)" }));
    for (const QString& title : titles)
        EXPECT_TRUE(QKeySequence::mnemonic(title).isEmpty()) << title.toStdString();
}

TEST_F(MenuBuilderTest, TrayMenuIsNeverOnTheBar) {
    QMenu* tray = menus.menu("mnuTray");
    ASSERT_NE(tray, nullptr);
    EXPECT_FALSE(window.menuBar()->actions().contains(tray->menuAction()));
    QStringList items;
    for (const QAction* item : tray->actions()) {
        items << item->text();
        EXPECT_TRUE(item->shortcut().isEmpty()) << item->text().toStdString();
    }
    EXPECT_EQ(items,
        QStringList({ "通行天下", "Q  Z大厅", "智能搜索", "网址导航", "帮助中心", "打开窗口", "退出 QZ" }));
}

TEST_F(MenuBuilderTest, EveryItemShowsItsCaptionExactlyUnderItsTitle) {
    for (const MenuItem& item : kMenuTree) {
        if (item.isTitle()) {
            ASSERT_NE(menus.menu(item.name), nullptr) << item.name;
            EXPECT_EQ(menus.menu(item.name)->title(), text(item.caption));
            continue;
        }
        const QAction* action = menus.action(item.name);
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), text(item.caption)) << item.name;
        EXPECT_TRUE(QKeySequence::mnemonic(action->text()).isEmpty()) << item.name;
        EXPECT_TRUE(menus.menu(item.parent)->actions().contains(const_cast<QAction*>(action))) << item.name;
        EXPECT_EQ(action->isVisible(), item.visible) << item.name;
    }
}

TEST_F(MenuBuilderTest, FifteenShortcutsAreBoundToTheWindow) {
    int shortcuts = 0;
    for (const MenuItem& entry : kMenuTree) {
        const QAction* action = menus.action(entry.name);
        if (!action)
            continue;
        EXPECT_EQ(action->shortcut(), QKeySequence(text(entry.shortcut))) << entry.name;
        if (entry.shortcut.empty())
            continue;
        ++shortcuts;
        EXPECT_EQ(action->shortcutContext(), Qt::WindowShortcut) << entry.name;
        EXPECT_TRUE(window.actions().contains(const_cast<QAction*>(action))) << entry.name;
    }
    EXPECT_EQ(shortcuts, 15);
}

TEST_F(MenuBuilderTest, CaptionsWithAmpersandsShowThemAndHaveNoAccessKey) {
    static const std::array<MenuItem, 3> tree { {
        { "Title", "", u"R&D", "", true },
        { "Item", "Title", u"a&b", "", true },
        { "Twice", "Title", u"&&x&", "", true },
    } };
    MainWindow other;
    const MenuBuilder built(other, tree, [](const MenuItem&) {});
    EXPECT_EQ(built.menu("Title")->title(), QStringLiteral("R&&D"));
    EXPECT_EQ(built.action("Item")->text(), QStringLiteral("a&&b"));
    EXPECT_EQ(built.action("Twice")->text(), QStringLiteral("&&&&x&&"));
    for (const QString& shown :
        { built.menu("Title")->title(), built.action("Item")->text(), built.action("Twice")->text() })
        EXPECT_TRUE(QKeySequence::mnemonic(shown).isEmpty()) << shown.toStdString();
}

TEST_F(MenuBuilderTest, PickingAnItemRunsItsEntryAndTitlesRunNothing) {
    for (const MenuItem& entry : kMenuTree) {
        picked.clear();
        if (entry.isTitle()) {
            menus.menu(entry.name)->menuAction()->trigger();
            EXPECT_TRUE(picked.empty()) << entry.name;
        } else {
            menus.action(entry.name)->trigger();
            EXPECT_EQ(picked, std::vector<std::string>({ std::string(entry.name) }));
        }
    }
}

struct ShortcutCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* item;
};

class MenuBuilderShortcuts : public MenuBuilderTest, public testing::WithParamInterface<ShortcutCase> {};

TEST_P(MenuBuilderShortcuts, ActWhileTheWindowIsActive) {
    activate();
    press(window.surface(), GetParam().key, GetParam().modifiers);
    EXPECT_EQ(picked, std::vector<std::string>({ GetParam().item }));
}

TEST_P(MenuBuilderShortcuts, DoNothingWhileTheWindowIsHidden) {
    activate();
    window.hide();
    QCoreApplication::processEvents();
    press(window.surface(), GetParam().key, GetParam().modifiers);
    press(&window, GetParam().key, GetParam().modifiers);
    EXPECT_TRUE(picked.empty());
}

// Editing widgets claim copy, paste, cut and select-all for themselves, as the browser view does;
// in this window the menu's keys come first.
TEST_P(MenuBuilderShortcuts, WinOverAFocusedEditor) {
    auto* editor = new QLineEdit(QStringLiteral("some text"), window.surface());
    editor->show();
    activate();
    editor->setFocus();
    ASSERT_TRUE(test::waitFor([&] { return editor->hasFocus(); }));
    press(editor, GetParam().key, GetParam().modifiers);
    EXPECT_EQ(picked, std::vector<std::string>({ GetParam().item }));
    EXPECT_EQ(editor->text(), QStringLiteral("some text"));
    EXPECT_FALSE(editor->hasSelectedText());
}

INSTANTIATE_TEST_SUITE_P(Keys, MenuBuilderShortcuts,
    testing::Values(ShortcutCase { Qt::Key_G, Qt::ControlModifier, "QZGo" },
        ShortcutCase { Qt::Key_C, Qt::ControlModifier, "QZCenter" },
        ShortcutCase { Qt::Key_S, Qt::ControlModifier, "Search" },
        ShortcutCase { Qt::Key_W, Qt::ControlModifier, "Site" },
        ShortcutCase { Qt::Key_N, Qt::ControlModifier, "Blank" },
        ShortcutCase { Qt::Key_F5, Qt::NoModifier, "Refresh" },
        ShortcutCase { Qt::Key_X, Qt::ControlModifier, "Exit" },
        ShortcutCase { Qt::Key_A, Qt::ControlModifier, "SelectAll" },
        ShortcutCase { Qt::Key_P, Qt::ControlModifier, "PrintDo" },
        ShortcutCase { Qt::Key_V, Qt::ControlModifier, "PrintView" },
        ShortcutCase { Qt::Key_U, Qt::ControlModifier, "PrintSet" },
        ShortcutCase { Qt::Key_H, Qt::ControlModifier, "HelpArticle" },
        ShortcutCase { Qt::Key_F, Qt::ControlModifier, "GuestBook" },
        ShortcutCase { Qt::Key_I, Qt::ControlModifier, "QZIntro" },
        ShortcutCase { Qt::Key_O, Qt::ControlModifier, "QZOffice" }),
    [](const testing::TestParamInfo<ShortcutCase>& p) { return std::string(p.param.item); });

TEST_F(MenuBuilderTest, KeysWithoutAShortcutStayWithTheFocusedWidget) {
    auto* editor = new QLineEdit(QStringLiteral("abc"), window.surface());
    editor->show();
    activate();
    editor->setFocus();
    ASSERT_TRUE(test::waitFor([&] { return editor->hasFocus(); }));
    editor->setCursorPosition(3);
    press(editor, Qt::Key_D, Qt::NoModifier, QStringLiteral("d"));
    EXPECT_EQ(editor->text(), QStringLiteral("abcd"));
    press(editor, Qt::Key_Z, Qt::ControlModifier); // undo is the editor's own
    EXPECT_EQ(editor->text(), QStringLiteral("abc"));
    EXPECT_TRUE(picked.empty());
}

TEST_F(MenuBuilderTest, PopupMenuRunsThePickedItemBeforeItReturns) {
    HandleTable handles;
    TrayPopupPosition popupPosition;
    QtWindow qtWindow(window, handles, popupPosition);
    qtWindow.setMenus(&menus);
    bool returned = false;
    std::vector<bool> returnedWhenPicked;
    duringPick = [&] { returnedWhenPicked.push_back(returned); };

    QTimer picker;
    QObject::connect(&picker, &QTimer::timeout, [&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!popup)
            return;
        picker.stop();
        EXPECT_EQ(popup, menus.menu("mnuTray"));
        popup->setActiveAction(menus.action("mnuTrayOpen"));
        press(popup, Qt::Key_Return);
    });
    picker.start(10);
    qtWindow.PopupMenu(menuItem("mnuTray"));
    returned = true;
    EXPECT_EQ(picked, std::vector<std::string>({ "mnuTrayOpen" }));
    EXPECT_EQ(returnedWhenPicked, std::vector<bool>({ false }));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(MenuBuilderTest, PopupMenuLeftWithoutAPickRunsNothing) {
    HandleTable handles;
    TrayPopupPosition popupPosition;
    QtWindow qtWindow(window, handles, popupPosition);
    qtWindow.setMenus(&menus);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            closer.stop();
            // A second request while the menu is open (a quick second click) returns at once.
            qtWindow.PopupMenu(menuItem("mnuTray"));
            EXPECT_EQ(QApplication::activePopupWidget(), popup);
            press(popup, Qt::Key_Escape);
        }
    });
    closer.start(10);
    qtWindow.PopupMenu(menuItem("mnuTray"));
    EXPECT_TRUE(picked.empty());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// The browser control as far as the menu commands below reach it.
class StubBrowser final : public Browser {
public:
    void Navigate(const std::u16string&) override {}
    void Navigate(const std::u16string&, const std::u16string&, const std::u16string&, const std::u16string&,
        const std::u16string&) override {}
    void Refresh2() override { ++refreshes; }
    void Stop() override { throw PlatformError("stop failed"); }
    void ExecWB(std::int32_t, std::int32_t) override {}
    std::shared_ptr<Dispatch> Document() override { throw PlatformError("no document"); }
    std::u16string LocationURL() override { return {}; }
    std::u16string LocationName() override { return {}; }
    void setToolBar(std::int32_t) override {}
    void setTop(float) override {}
    void setWidth(float) override {}
    void setHeight(float) override {}
    float Width() override { return 0; }
    float Height() override { return 0; }
    void SetFocus() override {}

    int refreshes = 0;
};

TEST(MenuClickHandlers, RunTheFormsHandlerNamedAfterTheItemInTheBoundary) {
    MainWindow window;
    HandleTable handles;
    TrayPopupPosition popupPosition;
    QtWindow qtWindow(window, handles, popupPosition);
    StubBrowser browser;
    QtTimer timer(500, false);
    QtScreen screen;
    QtDesktop desktop(&window, nullptr);
    FormEvents events(FormParts { qtWindow, browser, timer, screen, desktop });
    const MenuBuilder built(window, kMenuTree, [&](const MenuItem& entry) { events.menuPicked(entry); });

    built.action("Refresh")->trigger();
    EXPECT_EQ(browser.refreshes, 1);

    errorBoundary().run("Stop_Click", [] {}); // an earlier run's report would hide this one
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(built.action("Stop")->trigger());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Stop_Click: stop failed"), std::string::npos);

    window.show();
    window.activateWindow();
    ASSERT_TRUE(test::waitFor([&] { return window.isActiveWindow(); }));
    QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QApplication::sendEvent(window.surface(), &f5);
    EXPECT_EQ(browser.refreshes, 2);
}

} // namespace
} // namespace qz
