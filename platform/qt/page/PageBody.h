#pragma once

#include <QPointer>

#include "platform/Browser.h"

class QWebEngineView;

namespace qz {

// The body of the page a view shows. Its one method, focus, moves the page's focus to the body
// and the keyboard focus to the view, so that edit commands act on the page as a whole.
class PageBody final : public Dispatch {
public:
    explicit PageBody(QWebEngineView* view);

    std::shared_ptr<Dispatch> get(std::u16string_view property) override;
    void call(std::u16string_view method, const std::vector<std::u16string>& args) override;

private:
    QPointer<QWebEngineView> m_view;
};

} // namespace qz
