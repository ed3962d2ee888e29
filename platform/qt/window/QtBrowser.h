#pragma once

#include <QPointer>
#include <QUrl>

#include "platform/Browser.h"

class QWebEngineView;
class QWidget;

namespace qz {

class Pages;
class Printing;

// WebBrowser1 on Qt WebEngine: a view inside the main window's surface, placed by absolute
// geometry in twips as its container sets it. The view belongs to the browser control; once the
// view is gone (its window destroyed) every call raises PlatformError.
class QtBrowser final : public Browser {
public:
    // The view's page and the windows that _blank opens are the shell's pages; print, preview and
    // page set-up go through printing.
    QtBrowser(QWidget* container, Pages& pages, Printing& printing);
    ~QtBrowser() override;
    QtBrowser(const QtBrowser&) = delete;
    QtBrowser& operator=(const QtBrowser&) = delete;

    QWebEngineView* view() const;

    void Navigate(const std::u16string& url) override;
    void Navigate(const std::u16string& url, const std::u16string& flags, const std::u16string& target,
        const std::u16string& postData, const std::u16string& headers) override;
    void Refresh2() override;
    void Stop() override;
    void ExecWB(std::int32_t command, std::int32_t option) override;
    std::shared_ptr<Dispatch> Document() override;
    std::u16string LocationURL() override;
    std::u16string LocationName() override;
    void setToolBar(std::int32_t value) override;

    void setTop(float twips) override;
    void setWidth(float twips) override;
    void setHeight(float twips) override;
    float Width() override;
    float Height() override;
    void SetFocus() override;

private:
    QWebEngineView& live(const char* operation) const;

    QPointer<QWebEngineView> m_view;
    Pages& m_pages;
    Printing& m_printing;
    // The address last asked for: the engine reports none until the navigation has begun.
    QUrl m_requested;
    bool m_loadStarted = false;
};

} // namespace qz
