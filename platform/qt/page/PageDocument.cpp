#include "PageDocument.h"

#include <algorithm>

#include <QWebEngineView>

#include "PageBody.h"
#include "platform/Errors.h"
#include "platform/qt/Utf16.h"

namespace qz {

namespace {
struct EditCommand {
    std::u16string_view name;
    QWebEnginePage::WebAction action;
};

// Matched exactly, letter case included: the shell's commands pass these three names and no others.
constexpr EditCommand kEditCommands[] = {
    { u"copy", QWebEnginePage::Copy },
    { u"paste", QWebEnginePage::Paste },
    { u"SelectAll", QWebEnginePage::SelectAll },
};
} // namespace

PageDocument::PageDocument(QWebEngineView* view)
    : m_view(view) {}

std::shared_ptr<Dispatch> PageDocument::get(std::u16string_view property) {
    if (property != u"body")
        throw PlatformError("document has no property " + toUtf8(property));
    if (!m_view)
        throw PlatformError("document: the browser view is gone");
    return std::make_shared<PageBody>(m_view);
}

void PageDocument::call(std::u16string_view method, const std::vector<std::u16string>& args) {
    if (method != u"execCommand")
        throw PlatformError("document has no method " + toUtf8(method));
    // execCommand also takes a user-interface flag and a value; neither matters to these three.
    if (args.empty())
        throw PlatformError("execCommand: no command given");
    const auto command = std::find_if(std::begin(kEditCommands), std::end(kEditCommands),
        [&](const EditCommand& entry) { return entry.name == args.front(); });
    if (command == std::end(kEditCommands))
        throw PlatformError("execCommand: unknown command " + toUtf8(args.front()));
    if (!m_view)
        throw PlatformError("execCommand: the browser view is gone");
    m_view->page()->triggerAction(command->action);
}

} // namespace qz
