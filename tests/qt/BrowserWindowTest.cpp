// The shell's own browser windows: what they show, and the windows that pages open.
#include <memory>

#include <QAction>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolBar>
#include <QWebEngineView>
#include <QWidgetAction>
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "platform/qt/printing/Printing.h"
#include "platform/qt/window/QtBrowser.h"

namespace qz {
namespace {

using test::browserWindows;
using test::LoadWatch;
using test::waitUntil;

void click(QWebEngineView* view, QPoint at) {
    // The engine takes input through the view's focus proxy, the widget it renders into.
    QWidget* target = view->focusProxy();
    const QPointF global = target->mapToGlobal(QPointF(at));
    QMouseEvent press(
        QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(
        QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

class BrowserWindowTest : public ::testing::Test {
protected:
    BrowserWindowTest()
        : m_browser(std::make_unique<QtBrowser>(&m_container, m_profile.pages(), m_printing)) {
        m_container.resize(1200, 900);
        m_container.show();
        m_browser->setWidth(800 * 15);
        m_browser->setHeight(600 * 15);
    }

    bool load(const QUrl& url) {
        LoadWatch watch(m_browser->view()->page());
        m_browser->Navigate(url.toString().toStdU16String());
        return watch.finished() && watch.ok();
    }

    std::u16string title() { return m_browser->LocationName(); }

    // A button over the top-left corner of the page, the whole width, 100 px high.
    static QString button(const QString& onclick) {
        return QStringLiteral("<button style='position:absolute;left:0;top:0;width:100%;height:100px' "
                              "onclick=\"%1\">打开</button>")
            .arg(onclick);
    }

    test::TestProfile m_profile;
    Printing m_printing;
    test::PageFolder m_pages;
    QWidget m_container;
    std::unique_ptr<QtBrowser> m_browser;
};

TEST_F(BrowserWindowTest, ShowsTitleAddressAndNavigationButtons) {
    const QUrl page = m_pages.write("page.html", "帮助中心", "");
    m_browser->Navigate(page.toString().toStdU16String(), u"help", u"_blank", u"", u"");
    ASSERT_EQ(browserWindows().size(), 1);
    BrowserWindow* window = browserWindows().front();

    EXPECT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("帮助中心"); }));
    EXPECT_EQ(window->size(), QSize(1024, 768));
    EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));

    const auto* address = window->findChild<QLineEdit*>();
    ASSERT_NE(address, nullptr);
    EXPECT_TRUE(address->isReadOnly());
    EXPECT_EQ(address->text(), page.toDisplayString());

    const auto* bar = window->findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    QStringList tips;
    for (const QAction* action : bar->actions())
        if (!action->toolTip().isEmpty() && !qobject_cast<const QWidgetAction*>(action))
            tips << action->toolTip();
    EXPECT_EQ(tips, (QStringList { "后退", "前进", "刷新" }));
}

TEST_F(BrowserWindowTest, GoesBackAndForward) {
    const QUrl first = m_pages.write("first.html", "第一页", "");
    const QUrl second = m_pages.write("second.html", "第二页", "");
    m_browser->Navigate(first.toString().toStdU16String(), u"", u"_blank", u"", u"");
    BrowserWindow* window = browserWindows().front();
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("第一页"); }));
    window->view()->load(second);
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("第二页"); }));

    QAction* back = window->page()->action(QWebEnginePage::Back);
    QAction* forward = window->page()->action(QWebEnginePage::Forward);
    ASSERT_TRUE(waitUntil([&] { return back->isEnabled(); }));
    back->trigger();
    EXPECT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("第一页"); }));
    ASSERT_TRUE(waitUntil([&] { return forward->isEnabled(); }));
    forward->trigger();
    EXPECT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("第二页"); }));
}

TEST_F(BrowserWindowTest, ClosingAWindowFreesIt) {
    m_browser->Navigate(
        m_pages.write("close.html", "关闭", "").toString().toStdU16String(), u"", u"_blank", u"", u"");
    QPointer<BrowserWindow> window = browserWindows().front();
    // From the event loop, as a click on the frame's close button would: a deletion asked for
    // outside every loop would wait for an outer loop that a test never returns to.
    QTimer::singleShot(0, window, &QWidget::close);
    EXPECT_TRUE(waitUntil([&] { return window.isNull(); }));
    EXPECT_TRUE(browserWindows().isEmpty());
}

TEST_F(BrowserWindowTest, ALinkWithATargetOpensABrowserWindow) {
    const QUrl child = m_pages.write("child.html", "链接的页面", "");
    ASSERT_TRUE(load(m_pages.write("links.html", "链接",
        QStringLiteral("<a href='%1' target='_blank' style='position:absolute;left:0;top:0;width:100%;"
                       "height:100px'>打开</a>")
            .arg(child.toString()))));
    click(m_browser->view(), QPoint(50, 50));
    ASSERT_TRUE(waitUntil([] { return browserWindows().size() == 1; }));
    BrowserWindow* window = browserWindows().front();
    EXPECT_EQ(window->page()->profile(), m_profile.get());
    EXPECT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("链接的页面"); }));
    EXPECT_EQ(title(), u"链接");
}

TEST_F(BrowserWindowTest, AScriptMayOpenAWindowOnlyWhenTheUserAsks) {
    const QUrl popup = m_pages.write("popup.html", "弹出的页面", "");
    // The page reports through its title whether its own attempt at load time went through.
    const QString atLoad
        = QStringLiteral("<script>document.title = window.open('%1') ? '自行打开了' : '被拦下了'</script>");
    ASSERT_TRUE(load(m_pages.write("opener.html", "",
        button(QStringLiteral("window.open('%1'); document.title='点击之后'").arg(popup.toString()))
            + atLoad.arg(popup.toString()))));
    ASSERT_TRUE(waitUntil([&] { return title() != u"" && title().find(u"opener") == std::u16string::npos; }));
    EXPECT_EQ(title(), u"被拦下了");
    EXPECT_TRUE(browserWindows().isEmpty());

    click(m_browser->view(), QPoint(50, 50));
    ASSERT_TRUE(waitUntil([&] { return title() == u"点击之后"; }));
    ASSERT_EQ(browserWindows().size(), 1);
    BrowserWindow* window = browserWindows().front();
    EXPECT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("弹出的页面"); }));
}

TEST_F(BrowserWindowTest, AWindowAScriptOpenedTakesItsSizeAndClosesWhenTheScriptSays) {
    const QUrl popup = m_pages.write("sized.html", "小窗口", "");
    ASSERT_TRUE(load(m_pages.write("sizer.html", "",
        button(QStringLiteral("window.open('%1', '', 'width=500,height=300')").arg(popup.toString())))));
    click(m_browser->view(), QPoint(50, 50));
    ASSERT_TRUE(waitUntil([] { return browserWindows().size() == 1; }));
    QPointer<BrowserWindow> window = browserWindows().front();
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("小窗口"); }));
    EXPECT_TRUE(waitUntil([&] { return window->view()->size() == QSize(500, 300); }))
        << window->view()->width() << "x" << window->view()->height();

    window->page()->runJavaScript(QStringLiteral("window.close()"));
    EXPECT_TRUE(waitUntil([&] { return window.isNull(); }));
}

} // namespace
} // namespace qz
