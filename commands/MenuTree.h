#pragma once

#include "platform/Menu.h"

#include <array>
#include <string_view>

namespace qz {

// The whole tree, titles in bar order with their items below them; mnuTray comes first and never
// stands on the bar. Captions are shown exactly as written: "Q  Z" has two ASCII blanks, "退出 QZ"
// one, and the letters in parentheses are plain text, not access keys. The click handler of an item is
// the form's, named after it (app/ClickHandlers.h); titles have none.
inline constexpr auto kMenuTree = std::to_array<MenuItem>({
    { "mnuTray", "", u"0", "", false },
    { "mnuTrayQZGo", "mnuTray", u"通行天下", "", true },
    { "mnuTrayMyQZ", "mnuTray", u"Q  Z大厅", "", true },
    { "mnuTraySearch", "mnuTray", u"智能搜索", "", true },
    { "mnuTraySite", "mnuTray", u"网址导航", "", true },
    { "mnuTrayHelp", "mnuTray", u"帮助中心", "", true },
    { "mnuTrayOpen", "mnuTray", u"打开窗口", "", true },
    { "mnuTrayClose", "mnuTray", u"退出 QZ", "", true },
    { "QZMenu", "", u"Q  Z(Q)", "", true },
    { "QZGo", "QZMenu", u"通行天下", "Ctrl+G", true },
    { "QZCenter", "QZMenu", u"Q  Z大厅", "Ctrl+C", true },
    { "Search", "QZMenu", u"智能搜索", "Ctrl+S", true },
    { "Site", "QZMenu", u"网站导航", "Ctrl+W", true },
    { "Operate", "", u"操作(O)", "", true },
    { "Blank", "Operate", u"新窗口", "Ctrl+N", true },
    { "Refresh", "Operate", u"刷新", "F5", true },
    { "Stop", "Operate", u"停止", "", true },
    { "InternetSet", "Operate", u"选项", "", true },
    { "Exit", "Operate", u"退出", "Ctrl+X", true },
    { "Editor", "", u"编辑(E)", "", true },
    { "CtrC", "Editor", u"复制", "", true },
    { "CtrlV", "Editor", u"粘贴", "", true },
    { "SelectAll", "Editor", u"全选", "Ctrl+A", true },
    { "Print", "", u"打印(P)", "", true },
    { "PrintDo", "Print", u"执行打印", "Ctrl+P", true },
    { "PrintView", "Print", u"打印预览", "Ctrl+V", true },
    { "PrintSet", "Print", u"打印设置", "Ctrl+U", true },
    { "Help", "", u"帮助(H)", "", true },
    { "Update", "Help", u"在线升级", "", true },
    { "HelpArticle", "Help", u"使用教程", "Ctrl+H", true },
    { "GuestBook", "Help", u"客户反馈", "Ctrl+F", true },
    { "QZIntro", "Help", u"Q  Z简介", "Ctrl+I", true },
    { "QZOffice", "Help", u"官方主页", "Ctrl+O", true },
});

// The item of the given name; std::out_of_range when the tree has none.
const MenuItem& menuItem(std::string_view name);

} // namespace qz
