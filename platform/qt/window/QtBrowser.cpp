#include "QtBrowser.h"

#include <string>

#include <QWebEngineView>
#include <QWidget>

#include "Twips.h"
#include "app/FormDescription.h"
#include "platform/Errors.h"
#include "platform/qt/Utf16.h"
#include "platform/qt/page/BrowserWindow.h"
#include "platform/qt/page/PageDocument.h"
#include "platform/qt/page/Pages.h"
#include "platform/qt/page/WebPage.h"
#include "platform/qt/printing/Printing.h"

namespace qz {

namespace {
// ExecWB's execution option that prints without asking; the default and "prompt the user" (1)
// both show the dialog.
constexpr std::int32_t kDontPromptUser = 2;

QUrl addressOf(const std::u16string& url) {
    // As typed into an address bar: a bare host name or a file path is an address too.
    const QUrl address = QUrl::fromUserInput(toQString(url));
    if (!address.isValid())
        throw PlatformError("Navigate: not an address: " + toUtf8(url));
    return address;
}
} // namespace

QtBrowser::QtBrowser(QWidget* container, Pages& pages, Printing& printing)
    : m_view(new QWebEngineView(container))
    , m_pages(pages)
    , m_printing(printing) {
    m_view->setPage(new WebPage(pages, m_view));
    constexpr FormDescription form = kFormDescription;
    m_view->setGeometry(twipsToPixels(form.browserLeft), twipsToPixels(form.browserTop),
        twipsToPixels(form.browserWidth), twipsToPixels(form.browserHeight));
    m_view->show();
    QObject::connect(m_view->page(), &QWebEnginePage::loadStarted, m_view, [this] { m_loadStarted = true; });
}

QtBrowser::~QtBrowser() {
    delete m_view;
}

QWebEngineView* QtBrowser::view() const {
    return m_view;
}

QWebEngineView& QtBrowser::live(const char* operation) const {
    if (!m_view)
        throw PlatformError(std::string(operation) + ": the browser view is gone");
    return *m_view;
}

void QtBrowser::Navigate(const std::u16string& url) {
    QWebEngineView& view = live("Navigate");
    m_requested = addressOf(url);
    view.load(m_requested);
}

// The tag in the flags position means nothing to this browser. Post data and extra headers are not
// sent: the shell's own requests carry none, and post data given as text has no one byte form a
// server could rely on.
void QtBrowser::Navigate(const std::u16string& url, const std::u16string&, const std::u16string& target,
    const std::u16string&, const std::u16string&) {
    QWebEngineView& view = live("Navigate");
    const QUrl address = addressOf(url);
    if (toQString(target).compare(QStringLiteral("_blank"), Qt::CaseInsensitive) != 0) {
        // A named frame or window: the shell has only the one, its own page.
        m_requested = address;
        view.load(address);
        return;
    }
    BrowserWindow* window = m_pages.openWindow();
    window->show();
    window->view()->load(address);
}

void QtBrowser::Refresh2() {
    live("Refresh2").reload();
}

void QtBrowser::Stop() {
    live("Stop").stop();
}

void QtBrowser::ExecWB(std::int32_t command, std::int32_t option) {
    QWebEngineView& view = live("ExecWB");
    if (option < OLECMDEXECOPT_DODEFAULT || option > kDontPromptUser)
        throw PlatformError("ExecWB: unknown option " + std::to_string(option));
    QWidget* owner = view.window();
    switch (command) {
    case OLECMDID_PRINT:
        if (option == kDontPromptUser)
            m_printing.printWithoutDialog(&view);
        else
            m_printing.print(&view, owner);
        return;
    case OLECMDID_PRINTPREVIEW:
        m_printing.preview(&view, owner);
        return;
    case OLECMDID_PAGESETUP:
        m_printing.setUp(owner);
        return;
    default:
        throw PlatformError("ExecWB: unsupported command " + std::to_string(command));
    }
}

std::shared_ptr<Dispatch> QtBrowser::Document() {
    QWebEngineView& view = live("Document");
    if (view.url().isEmpty() || !m_loadStarted)
        throw PlatformError("Document: no page is loaded");
    return std::make_shared<PageDocument>(&view);
}

std::u16string QtBrowser::LocationURL() {
    const QUrl shown = live("LocationURL").url();
    return toU16((shown.isEmpty() ? m_requested : shown).toString());
}

std::u16string QtBrowser::LocationName() {
    // The engine gives the address as the title of a page without one, but nothing before the page
    // has begun to load: until then the caption shows the address asked for.
    const QString title = live("LocationName").title();
    return title.isEmpty() ? LocationURL() : toU16(title);
}

// The view has no tool bar of its own to show or hide.
void QtBrowser::setToolBar(std::int32_t) {
    live("ToolBar");
}

void QtBrowser::setTop(float twips) {
    QWebEngineView& view = live("Top");
    view.move(0, twipsToPixels(twips));
}

void QtBrowser::setWidth(float twips) {
    QWebEngineView& view = live("Width");
    view.resize(twipsToPixels(twips), view.height());
}

void QtBrowser::setHeight(float twips) {
    QWebEngineView& view = live("Height");
    view.resize(view.width(), twipsToPixels(twips));
}

float QtBrowser::Width() {
    return pixelsToTwips(live("Width").width());
}

float QtBrowser::Height() {
    return pixelsToTwips(live("Height").height());
}

void QtBrowser::SetFocus() {
    live("SetFocus").setFocus();
}

} // namespace qz
