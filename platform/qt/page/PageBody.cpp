#include "PageBody.h"

#include <QWebEngineView>

#include "platform/Errors.h"
#include "platform/qt/Utf16.h"

namespace qz {

PageBody::PageBody(QWebEngineView* view)
    : m_view(view) {}

std::shared_ptr<Dispatch> PageBody::get(std::u16string_view property) {
    throw PlatformError("body has no property " + toUtf8(property));
}

void PageBody::call(std::u16string_view method, const std::vector<std::u16string>&) {
    if (method != u"focus")
        throw PlatformError("body has no method " + toUtf8(method));
    if (!m_view)
        throw PlatformError("body.focus: the browser view is gone");
    // A page without a body (a frameset, an image) has nothing to focus; that is no error.
    m_view->page()->runJavaScript(QStringLiteral("document.body && document.body.focus()"));
    m_view->setFocus();
}

} // namespace qz
