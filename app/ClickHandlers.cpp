#include "ClickHandlers.h"

#include "commands/MenuTree.h"

#include <algorithm>
#include <iterator>

namespace qz {

namespace {
struct Binding {
    std::string_view item;
    ClickHandler click;
};
constexpr Binding kBindings[] = {
    { "mnuTrayQZGo", &Form1::mnuTrayQZGo_Click },
    { "mnuTrayMyQZ", &Form1::mnuTrayMyQZ_Click },
    { "mnuTraySearch", &Form1::mnuTraySearch_Click },
    { "mnuTraySite", &Form1::mnuTraySite_Click },
    { "mnuTrayHelp", &Form1::mnuTrayHelp_Click },
    { "mnuTrayOpen", &Form1::mnuTrayOpen_Click },
    { "mnuTrayClose", &Form1::mnuTrayClose_Click },
    { "QZGo", &Form1::QZGo_Click },
    { "QZCenter", &Form1::QZCenter_Click },
    { "Search", &Form1::Search_Click },
    { "Site", &Form1::Site_Click },
    { "Blank", &Form1::Blank_Click },
    { "Refresh", &Form1::Refresh_Click },
    { "Stop", &Form1::Stop_Click },
    { "InternetSet", &Form1::InternetSet_Click },
    { "Exit", &Form1::Exit_Click },
    { "CtrC", &Form1::CtrC_Click },
    { "CtrlV", &Form1::CtrlV_Click },
    { "SelectAll", &Form1::SelectAll_Click },
    { "PrintDo", &Form1::PrintDo_Click },
    { "PrintView", &Form1::PrintView_Click },
    { "PrintSet", &Form1::PrintSet_Click },
    { "Update", &Form1::Update_Click },
    { "HelpArticle", &Form1::HelpArticle_Click },
    { "GuestBook", &Form1::GuestBook_Click },
    { "QZIntro", &Form1::QZIntro_Click },
    { "QZOffice", &Form1::QZOffice_Click },
};

constexpr const Binding* bindingOf(std::string_view item) {
    for (const Binding& binding : kBindings)
        if (binding.item == item)
            return &binding;
    return nullptr;
}

// Every item of the tree has exactly its handler and every handler its item: a misspelt or missing
// name stops the build.
constexpr bool everyItemBound() {
    std::size_t items = 0;
    for (const MenuItem& entry : kMenuTree) {
        if (entry.isTitle())
            continue;
        ++items;
        if (!bindingOf(entry.name))
            return false;
    }
    return items == std::size(kBindings);
}
static_assert(everyItemBound());
} // namespace

ClickHandler clickHandler(std::string_view item) {
    const Binding* binding = bindingOf(item);
    return binding ? binding->click : nullptr;
}

} // namespace qz
