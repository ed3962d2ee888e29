#include "OutsideLinks.h"

#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

#include "DefaultBrowser.h"
#include "PageInput.h"
#include "PortalScope.h"
#include "platform/qt/questions/PageWindow.h"

namespace qz {

OutsideLinks::OutsideLinks(QWebEnginePage* page, PageInput& input)
    : QObject(page)
    , m_page(page) {
    connect(&input, &PageInput::userInput, this, [this](QWebEnginePage* touched) {
        if (touched == m_page)
            m_quiet = false;
    });
    connect(
        page, &QWebEnginePage::loadFinished, this, [this](bool ok) { m_showedPage = m_showedPage || ok; });
}

bool OutsideLinks::admits(const QUrl& address) {
    const QString scheme = address.scheme();
    if ((scheme != u"http" && scheme != u"https") || PortalScope::built().contains(address))
        return true;
    if (!m_quiet) {
        m_quiet = true;
        // Not from inside the engine's question: the window may go, and a message may need a loop.
        QTimer::singleShot(0, this, [this, address, close = !m_showedPage] { handOver(address, close); });
    }
    return false;
}

void OutsideLinks::handOver(const QUrl& address, bool closeWindow) {
    // A window left empty would be one the user has to close for nothing.
    if (closeWindow)
        emit m_page->windowCloseRequested();
    DefaultBrowser::open(address, closeWindow ? nullptr : pageWindow(m_page));
}

} // namespace qz
