#include "OutsideLinks.h"

#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

#include "DefaultBrowser.h"
#include "ExternalLinkQuestion.h"
#include "PageInput.h"
#include "PortalScope.h"
#include "TopLevelAddress.h"
#include "platform/qt/questions/PageWindow.h"

namespace qz {

OutsideLinks::OutsideLinks(QWebEnginePage* page, PageInput& input)
    : QObject(page)
    , m_page(page) {
    connect(&input, &PageInput::userInput, this, [this](QWebEnginePage* touched) {
        if (touched != m_page)
            return;
        m_quiet = false;
        m_touched = true;
    });
    connect(
        page, &QWebEnginePage::loadFinished, this, [this](bool ok) { m_showedPage = m_showedPage || ok; });
}

bool OutsideLinks::admits(const QUrl& address) {
    // Until a window has shown a page of its own, the empty page it starts with is its own, and where
    // it goes is the doing of the page that opened it.
    const bool fresh = !m_showedPage;
    if (fresh && opensEmptyDocument(address))
        return true;
    const QUrl shown = fresh && !m_opener.isEmpty() ? m_opener : m_page->url();
    switch (judgeTopLevel(address, shown, PortalScope::built())) {
    case TopLevelVerdict::Show:
        return true;
    case TopLevelVerdict::HandToBrowser:
        if (!m_quiet) {
            m_quiet = true;
            // Not from inside the engine's question: the window may go, and a message may need a loop.
            QTimer::singleShot(0, this, [this, address, close = !m_showedPage] { handOver(address, close); });
        }
        return false;
    case TopLevelVerdict::AskDesktop:
        if (m_touched) {
            m_touched = false;
            QTimer::singleShot(0, this, [this, address] { ask(address); });
        }
        return false;
    case TopLevelVerdict::Refuse:
        refuse();
        return false;
    }
    return false;
}

void OutsideLinks::openedBy(const QUrl& opener) {
    m_opener = opener;
}

bool OutsideLinks::admitsWindow(const QUrl& address) {
    // The new window's own first page, not a navigation of this one.
    return opensEmptyDocument(address) || admits(address);
}

bool OutsideLinks::admitsFrame(const QUrl& address) {
    return engineLoads(address);
}

void OutsideLinks::handOver(const QUrl& address, bool closeWindow) {
    // A window left empty would be one the user has to close for nothing.
    if (closeWindow)
        emit m_page->windowCloseRequested();
    DefaultBrowser::open(address, closeWindow ? nullptr : pageWindow(m_page));
}

void OutsideLinks::ask(const QUrl& address) {
    askToOpenExternally(address, pageWindow(m_page));
}

void OutsideLinks::refuse() {
    if (!m_showedPage)
        QTimer::singleShot(0, this, [this] { emit m_page->windowCloseRequested(); });
}

} // namespace qz
