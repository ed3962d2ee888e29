#pragma once

#include <QPointer>

#include "platform/Browser.h"

class QWebEngineView;

namespace qz {

// The document of the page a view shows, looked up by name at each call: execCommand with "copy",
// "paste" or "SelectAll" runs the engine's own edit action, and body gives the page's body. The
// object follows the view, not one page: a later page is acted on as the current document.
class PageDocument final : public Dispatch {
public:
    explicit PageDocument(QWebEngineView* view);

    std::shared_ptr<Dispatch> get(std::u16string_view property) override;
    void call(std::u16string_view method, const std::vector<std::u16string>& args) override;

private:
    QPointer<QWebEngineView> m_view;
};

} // namespace qz
