#include "BrowserWindow.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QWebEngineView>

#include "WebPage.h"
#include "platform/qt/LiteralText.h"

namespace qz {

namespace {
constexpr QSize kDefaultSize { 1024, 768 };

struct NavigationButton {
    QWebEnginePage::WebAction action;
    QStyle::StandardPixmap icon;
    const char16_t* tip;
    QKeySequence::StandardKey key;
};

constexpr NavigationButton kNavigationButtons[] = {
    { QWebEnginePage::Back, QStyle::SP_ArrowBack, u"后退", QKeySequence::Back },
    { QWebEnginePage::Forward, QStyle::SP_ArrowForward, u"前进", QKeySequence::Forward },
    { QWebEnginePage::Reload, QStyle::SP_BrowserReload, u"刷新", QKeySequence::Refresh },
};

// Shows the address for reading and copying. A read-only QLineEdit still tells input methods that it
// takes their text, and inserts what they commit; so typed Chinese would end up in the address, or, as
// the input method answers late, in whatever field has the focus by then.
class AddressBar final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
        if (query == Qt::ImEnabled)
            return false;
        if (query == Qt::ImReadOnly)
            return true;
        return QLineEdit::inputMethodQuery(query);
    }

protected:
    void inputMethodEvent(QInputMethodEvent* event) override { event->ignore(); }
};
} // namespace

BrowserWindow::BrowserWindow(Pages& pages)
    : m_view(new QWebEngineView(this))
    , m_page(new WebPage(pages, m_view))
    , m_address(new AddressBar(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    m_view->setPage(m_page);
    setCentralWidget(m_view);
    addNavigationBar();
    resize(kDefaultSize);
    // What the bars take around the view; once shown, the window's and the view's sizes change apart.
    layout()->activate();
    m_bars = size() - m_view->size();

    connect(m_page, &QWebEnginePage::titleChanged, this, &BrowserWindow::showPageTitle);
    connect(m_page, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        m_address->setText(url.toDisplayString());
        showPageTitle();
    });
    connect(m_page, &QWebEnginePage::iconChanged, this, [this](const QIcon& icon) {
        if (!icon.isNull())
            setWindowIcon(icon);
    });
    // window.open with a size, resizeTo and moveTo: the shell made this window for the page, so the
    // page may shape it.
    connect(m_page, &QWebEnginePage::geometryChangeRequested, this, &BrowserWindow::fitContent);
    // The engine asks only for windows that a script opened (window.close()).
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
    // Pages still open when the shell quits go before the profile they use.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QObject::deleteLater);
}

void BrowserWindow::addNavigationBar() {
    QToolBar* bar = addToolBar(QStringLiteral("导航"));
    bar->setAccessibleName(QStringLiteral("导航"));
    bar->setMovable(false);
    bar->toggleViewAction()->setEnabled(false);
    for (const NavigationButton& button : kNavigationButtons) {
        // The page's own actions know when there is a way back or forward.
        QAction* action = m_page->action(button.action);
        action->setIcon(style()->standardIcon(button.icon, nullptr, this));
        action->setText(QString::fromUtf16(button.tip));
        action->setToolTip(QString::fromUtf16(button.tip));
        action->setShortcut(button.key);
        bar->addAction(action);
    }
    m_address->setReadOnly(true);
    m_address->setToolTip(QStringLiteral("地址"));
    m_address->setAccessibleName(QStringLiteral("地址"));
    bar->addWidget(m_address);
}

void BrowserWindow::showPageTitle() {
    // Until a page has a title the engine gives none, or the address; the caption then shows the address.
    const QString title = m_page->title();
    setWindowTitle(literalWindowTitle(title.isEmpty() ? m_page->url().toDisplayString() : title));
}

void BrowserWindow::fitContent(const QRect& content) {
    const QPoint viewOffset = m_view->mapTo(this, QPoint(0, 0));
    QScreen* screen = QGuiApplication::screenAt(content.center());
    const QRect area = (screen ? screen : this->screen())->availableGeometry();
    // The frame the window manager adds is known once the window is shown; before, it counts as none.
    const QSize frame = frameGeometry().size() - size();
    const QSize client = (content.size() + m_bars).boundedTo(area.size() - frame);
    resize(client);
    // move() places the frame's corner; the whole frame is kept inside the screen's free area.
    const QPoint wanted = content.topLeft() - viewOffset;
    const QSize outer = client + frame;
    move(std::clamp(wanted.x(), area.left(), area.left() + area.width() - outer.width()),
        std::clamp(wanted.y(), area.top(), area.top() + area.height() - outer.height()));
}

} // namespace qz
