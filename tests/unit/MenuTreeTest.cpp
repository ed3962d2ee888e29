#include "commands/MenuTree.h"
#include "app/ClickHandlers.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace qz::test {
namespace {

TEST(MenuTree, HasSixTitlesAndTwentySevenItemsTwoLevelsDeep) {
    int titles = 0, items = 0;
    std::set<std::string_view> names;
    std::string_view currentTitle;
    for (const MenuItem& entry : kMenuTree) {
        EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
        if (entry.isTitle()) {
            ++titles;
            currentTitle = entry.name;
            EXPECT_EQ(clickHandler(entry.name), nullptr) << entry.name;
        } else {
            ++items;
            EXPECT_EQ(entry.parent, currentTitle) << entry.name; // items follow their title
            EXPECT_NE(clickHandler(entry.name), nullptr) << entry.name;
        }
    }
    EXPECT_EQ(titles, 6);
    EXPECT_EQ(items, 27);
}

TEST(MenuTree, TitlesInBarOrderWithTheTrayMenuFirstAndHidden) {
    std::vector<std::string> bar, hidden;
    for (const MenuItem& entry : kMenuTree)
        if (entry.isTitle())
            (entry.visible ? bar : hidden).push_back(utf8(entry.caption));
    EXPECT_EQ(bar, (std::vector<std::string> { "Q  Z(Q)", "操作(O)", "编辑(E)", "打印(P)", "帮助(H)" }));
    EXPECT_EQ(hidden, std::vector<std::string> { "0" });
    EXPECT_EQ(kMenuTree.front().name, "mnuTray");
    for (const MenuItem& entry : kMenuTree) {
        if (!entry.isTitle()) {
            EXPECT_TRUE(entry.visible) << entry.name;
        }
    }
}

std::vector<std::string> itemsOf(std::string_view title) {
    std::vector<std::string> result;
    for (const MenuItem& entry : kMenuTree)
        if (entry.parent == title)
            result.push_back(std::string(entry.name) + " " + utf8(entry.caption));
    return result;
}

TEST(MenuTree, ItemsAndCaptionsByteForByte) {
    EXPECT_EQ(itemsOf("mnuTray"),
        (std::vector<std::string> { "mnuTrayQZGo 通行天下", "mnuTrayMyQZ Q  Z大厅", "mnuTraySearch 智能搜索",
            "mnuTraySite 网址导航", "mnuTrayHelp 帮助中心", "mnuTrayOpen 打开窗口",
            "mnuTrayClose 退出 QZ" }));
    EXPECT_EQ(itemsOf("QZMenu"),
        (std::vector<std::string> {
            "QZGo 通行天下", "QZCenter Q  Z大厅", "Search 智能搜索", "Site 网站导航" }));
    EXPECT_EQ(itemsOf("Operate"),
        (std::vector<std::string> {
            "Blank 新窗口", "Refresh 刷新", "Stop 停止", "InternetSet 选项", "Exit 退出" }));
    EXPECT_EQ(itemsOf("Editor"), (std::vector<std::string> { "CtrC 复制", "CtrlV 粘贴", "SelectAll 全选" }));
    EXPECT_EQ(itemsOf("Print"),
        (std::vector<std::string> { "PrintDo 执行打印", "PrintView 打印预览", "PrintSet 打印设置" }));
    EXPECT_EQ(itemsOf("Help"),
        (std::vector<std::string> { "Update 在线升级", "HelpArticle 使用教程", "GuestBook 客户反馈",
            "QZIntro Q  Z简介", "QZOffice 官方主页" }));
    // Blanks are plain ASCII blanks, and no caption marks an access key.
    for (const MenuItem& entry : kMenuTree) {
        EXPECT_EQ(entry.caption.find(u'&'), std::u16string_view::npos) << entry.name;
        EXPECT_EQ(entry.caption.find(u'\u3000'), std::u16string_view::npos) << entry.name;
    }
    EXPECT_EQ(menuItem("QZMenu").caption, u"Q\u0020\u0020Z(Q)");
}

TEST(MenuTree, FifteenShortcutsOnTheBarOnly) {
    std::map<std::string_view, std::string_view> shortcuts;
    for (const MenuItem& entry : kMenuTree) {
        if (entry.shortcut.empty())
            continue;
        EXPECT_NE(entry.parent, "mnuTray") << entry.name;
        EXPECT_TRUE(shortcuts.emplace(entry.shortcut, entry.name).second) << entry.shortcut;
    }
    const std::map<std::string_view, std::string_view> expected { { "Ctrl+A", "SelectAll" },
        { "Ctrl+C", "QZCenter" }, { "Ctrl+F", "GuestBook" }, { "Ctrl+G", "QZGo" },
        { "Ctrl+H", "HelpArticle" }, { "Ctrl+I", "QZIntro" }, { "Ctrl+N", "Blank" }, { "Ctrl+O", "QZOffice" },
        { "Ctrl+P", "PrintDo" }, { "Ctrl+S", "Search" }, { "Ctrl+U", "PrintSet" }, { "Ctrl+V", "PrintView" },
        { "Ctrl+W", "Site" }, { "Ctrl+X", "Exit" }, { "F5", "Refresh" } };
    EXPECT_EQ(shortcuts, expected);
}

TEST(MenuTree, EachItemRunsTheHandlerNamedAfterIt) {
    // Spot the wiring through behaviour: a bar item and its tray twin make the same calls.
    const std::pair<std::string_view, std::string_view> twins[]
        = { { "QZGo", "mnuTrayQZGo" }, { "QZCenter", "mnuTrayMyQZ" }, { "Search", "mnuTraySearch" },
              { "Site", "mnuTraySite" }, { "Exit", "mnuTrayClose" } };
    for (const auto& [barItem, trayItem] : twins) {
        std::vector<std::string> made[2];
        int side = 0;
        for (std::string_view name : { barItem, trayItem }) {
            FakePlatform platform;
            Form1 form(platform.parts());
            form.Form_Load();
            const std::size_t mark = platform.log.entries.size();
            (form.*clickHandler(name))();
            made[side++] = platform.log.since(mark);
        }
        EXPECT_FALSE(made[0].empty()) << barItem;
        EXPECT_EQ(made[0], made[1]) << barItem << " and " << trayItem;
        EXPECT_NE(clickHandler(barItem), clickHandler(trayItem)) << "each has a handler of its own";
    }
}

TEST(MenuTree, UnknownNameIsNoEntry) {
    EXPECT_THROW(menuItem("NoSuchItem"), std::out_of_range);
}

} // namespace
} // namespace qz::test
