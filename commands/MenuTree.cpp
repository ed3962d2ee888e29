#include "MenuTree.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace qz {

// Captions are shown exactly as written: "Q  Z" has two ASCII blanks, "退出 QZ" one, and the letters
// in parentheses are plain text, not access keys.
const std::array<MenuEntry, 33> kMenuTree { {
    { { "mnuTray", "", u"0", "", false }, nullptr },
    { { "mnuTrayQZGo", "mnuTray", u"通行天下", "", true }, &Form1::mnuTrayQZGo_Click },
    { { "mnuTrayMyQZ", "mnuTray", u"Q  Z大厅", "", true }, &Form1::mnuTrayMyQZ_Click },
    { { "mnuTraySearch", "mnuTray", u"智能搜索", "", true }, &Form1::mnuTraySearch_Click },
    { { "mnuTraySite", "mnuTray", u"网址导航", "", true }, &Form1::mnuTraySite_Click },
    { { "mnuTrayHelp", "mnuTray", u"帮助中心", "", true }, &Form1::mnuTrayHelp_Click },
    { { "mnuTrayOpen", "mnuTray", u"打开窗口", "", true }, &Form1::mnuTrayOpen_Click },
    { { "mnuTrayClose", "mnuTray", u"退出 QZ", "", true }, &Form1::mnuTrayClose_Click },
    { { "QZMenu", "", u"Q  Z(Q)", "", true }, nullptr },
    { { "QZGo", "QZMenu", u"通行天下", "Ctrl+G", true }, &Form1::QZGo_Click },
    { { "QZCenter", "QZMenu", u"Q  Z大厅", "Ctrl+C", true }, &Form1::QZCenter_Click },
    { { "Search", "QZMenu", u"智能搜索", "Ctrl+S", true }, &Form1::Search_Click },
    { { "Site", "QZMenu", u"网站导航", "Ctrl+W", true }, &Form1::Site_Click },
    { { "Operate", "", u"操作(O)", "", true }, nullptr },
    { { "Blank", "Operate", u"新窗口", "Ctrl+N", true }, &Form1::Blank_Click },
    { { "Refresh", "Operate", u"刷新", "F5", true }, &Form1::Refresh_Click },
    { { "Stop", "Operate", u"停止", "", true }, &Form1::Stop_Click },
    { { "InternetSet", "Operate", u"选项", "", true }, &Form1::InternetSet_Click },
    { { "Exit", "Operate", u"退出", "Ctrl+X", true }, &Form1::Exit_Click },
    { { "Editor", "", u"编辑(E)", "", true }, nullptr },
    { { "CtrC", "Editor", u"复制", "", true }, &Form1::CtrC_Click },
    { { "CtrlV", "Editor", u"粘贴", "", true }, &Form1::CtrlV_Click },
    { { "SelectAll", "Editor", u"全选", "Ctrl+A", true }, &Form1::SelectAll_Click },
    { { "Print", "", u"打印(P)", "", true }, nullptr },
    { { "PrintDo", "Print", u"执行打印", "Ctrl+P", true }, &Form1::PrintDo_Click },
    { { "PrintView", "Print", u"打印预览", "Ctrl+V", true }, &Form1::PrintView_Click },
    { { "PrintSet", "Print", u"打印设置", "Ctrl+U", true }, &Form1::PrintSet_Click },
    { { "Help", "", u"帮助(H)", "", true }, nullptr },
    { { "Update", "Help", u"在线升级", "", true }, &Form1::Update_Click },
    { { "HelpArticle", "Help", u"使用教程", "Ctrl+H", true }, &Form1::HelpArticle_Click },
    { { "GuestBook", "Help", u"客户反馈", "Ctrl+F", true }, &Form1::GuestBook_Click },
    { { "QZIntro", "Help", u"Q  Z简介", "Ctrl+I", true }, &Form1::QZIntro_Click },
    { { "QZOffice", "Help", u"官方主页", "Ctrl+O", true }, &Form1::QZOffice_Click },
} };

const MenuEntry& menuEntry(std::string_view name) {
    const auto it = std::find_if(
        kMenuTree.begin(), kMenuTree.end(), [name](const MenuEntry& e) { return e.item.name == name; });
    if (it == kMenuTree.end())
        throw std::out_of_range("no menu item " + std::string(name));
    return *it;
}

} // namespace qz
