// QtBrowser as the main window holds it: geometry in twips, addresses and titles, the document's
// edit commands, "_blank" requests and its errors.
#include <memory>

#include <QClipboard>
#include <QGuiApplication>
#include <QWebEngineView>
#include <QWidget>
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "platform/Errors.h"
#include "platform/qt/printing/Printing.h"
#include "platform/qt/window/QtBrowser.h"

namespace qz {
namespace {

using test::browserWindows;
using test::LoadWatch;
using test::waitUntil;

class BrowserTest : public ::testing::Test {
protected:
    BrowserTest()
        : m_browser(std::make_unique<QtBrowser>(&m_container, m_profile.pages(), m_printing)) {
        m_container.resize(1200, 900);
        m_container.show();
    }

    // Loads the page in the main view and waits for it.
    bool load(const QUrl& url) {
        LoadWatch watch(m_browser->view()->page());
        m_browser->Navigate(url.toString().toStdU16String());
        return watch.finished() && watch.ok();
    }

    test::TestProfile m_profile;
    Printing m_printing;
    test::PageFolder m_pages;
    QWidget m_container;
    std::unique_ptr<QtBrowser> m_browser;
};

TEST_F(BrowserTest, StartsAtTheTopLeftOfItsContainerInTheDescribedSize) {
    const QWebEngineView* view = m_browser->view();
    EXPECT_EQ(view->parentWidget(), &m_container);
    EXPECT_EQ(view->geometry(), QRect(0, 0, 339, 220));
    EXPECT_FLOAT_EQ(m_browser->Width(), 5085.0f);
    // 3304 twips is not a whole number of pixels: the size read back is the one shown.
    EXPECT_FLOAT_EQ(m_browser->Height(), 3300.0f);
}

TEST_F(BrowserTest, TwipsSizeAndTopTakeEffectAtOnce) {
    m_browser->setWidth(15360);
    m_browser->setHeight(9000);
    m_browser->setTop(300);
    EXPECT_EQ(m_browser->view()->geometry(), QRect(0, 20, 1024, 600));
    EXPECT_FLOAT_EQ(m_browser->Width(), 15360.0f);
    EXPECT_FLOAT_EQ(m_browser->Height(), 9000.0f);

    m_browser->setTop(0);
    m_browser->setWidth(15367); // 1024.47 px
    EXPECT_EQ(m_browser->view()->pos(), QPoint(0, 0));
    EXPECT_FLOAT_EQ(m_browser->Width(), 15360.0f);
}

TEST_F(BrowserTest, DocumentFailsBeforeAnyPage) {
    EXPECT_THROW(m_browser->Document(), PlatformError);
}

TEST_F(BrowserTest, GivesTheAddressAskedForAndThenThePageTitle) {
    const QUrl page = m_pages.write("titled.html", "门户首页", "正文");
    LoadWatch watch(m_browser->view()->page());
    m_browser->Navigate(page.toString().toStdU16String());
    EXPECT_EQ(QString::fromStdU16String(m_browser->LocationURL()), page.toString());
    ASSERT_TRUE(watch.finished());

    EXPECT_TRUE(waitUntil([&] { return m_browser->LocationName() == u"门户首页"; }))
        << QString::fromStdU16String(m_browser->LocationName()).toStdString();
    EXPECT_EQ(QString::fromStdU16String(m_browser->LocationURL()), page.toString());
}

TEST_F(BrowserTest, CaptionShowsTheAddressUntilThePageHasATitle) {
    const QUrl page = m_pages.write("untitled.html", "", "无标题");
    m_browser->Navigate(page.toString().toStdU16String());
    EXPECT_EQ(QString::fromStdU16String(m_browser->LocationName()), page.toString());
}

TEST_F(BrowserTest, AnUnreachableHostShowsTheEnginesErrorPage) {
    // Nothing listens on port 1 of the loopback address: the connection is refused at once.
    const std::u16string address = u"http://127.0.0.1:1/";
    LoadWatch watch(m_browser->view()->page());
    m_browser->Navigate(address);
    ASSERT_TRUE(watch.finished());
    EXPECT_FALSE(watch.ok());
    EXPECT_EQ(m_browser->LocationURL(), address);
    EXPECT_FALSE(m_browser->LocationName().empty());
    EXPECT_NO_THROW(m_browser->Document());
}

TEST_F(BrowserTest, DocumentRejectsNamesItDoesNotHave) {
    ASSERT_TRUE(load(m_pages.write("plain.html", "", "文字")));
    const auto document = m_browser->Document();
    EXPECT_THROW(document->call(u"execCommand", { u"Copy" }), PlatformError);
    EXPECT_THROW(document->call(u"execCommand", { u"bold" }), PlatformError);
    EXPECT_THROW(document->call(u"execCommand", {}), PlatformError);
    EXPECT_THROW(document->call(u"queryCommandState", { u"copy" }), PlatformError);
    EXPECT_THROW(document->get(u"head"), PlatformError);
    EXPECT_THROW(document->get(u"body")->call(u"blur", {}), PlatformError);
}

TEST_F(BrowserTest, SelectAllAndCopyPutThePageTextOnTheClipboard) {
    ASSERT_TRUE(load(m_pages.write("copy.html", "", "<p>复制这一段</p>")));
    QGuiApplication::clipboard()->clear();
    // Edit commands act on the page that has the focus, and only an active window gives it.
    m_container.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return m_container.isActiveWindow(); }));
    m_browser->Document()->get(u"body")->call(u"focus", {});
    m_browser->Document()->call(u"execCommand", { u"SelectAll" });
    m_browser->Document()->call(u"execCommand", { u"copy" });
    EXPECT_TRUE(waitUntil([] {
        return QGuiApplication::clipboard()->text().contains(QStringLiteral("复制这一段"));
    })) << QGuiApplication::clipboard()->text().toStdString();
}

TEST_F(BrowserTest, PasteGoesIntoTheFocusedField) {
    ASSERT_TRUE(load(m_pages.write("paste.html", "空",
        "<input id=f "
        "oninput='document.title=this.value'><script>document.getElementById('f').focus()</script>")));
    QGuiApplication::clipboard()->setText(QStringLiteral("粘贴的文字"));
    m_browser->SetFocus();
    m_browser->Document()->call(u"execCommand", { u"paste" });
    EXPECT_TRUE(waitUntil([&] { return m_browser->LocationName() == u"粘贴的文字"; }))
        << QString::fromStdU16String(m_browser->LocationName()).toStdString();
}

TEST_F(BrowserTest, BlankTargetOpensOneMoreWindowAndLeavesTheViewAlone) {
    const QUrl home = m_pages.write("home.html", "主页", "");
    const QUrl other = m_pages.write("other.html", "另一页", "");
    ASSERT_TRUE(load(home));

    for (int request = 1; request <= 2; ++request) {
        m_browser->Navigate(other.toString().toStdU16String(), u"search", u"_blank", u"", u"");
        ASSERT_EQ(browserWindows().size(), request);
    }
    for (BrowserWindow* window : browserWindows()) {
        EXPECT_TRUE(window->isWindow());
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->page()->profile(), m_profile.get());
        EXPECT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("另一页"); }))
            << window->windowTitle().toStdString();
    }
    EXPECT_EQ(QString::fromStdU16String(m_browser->LocationURL()), home.toString());
    EXPECT_EQ(m_browser->LocationName(), u"主页");
}

TEST_F(BrowserTest, AnyOtherTargetLoadsInTheViewItself) {
    const QUrl page = m_pages.write("self.html", "本窗口", "");
    LoadWatch watch(m_browser->view()->page());
    m_browser->Navigate(page.toString().toStdU16String(), u"", u"_self", u"", u"");
    ASSERT_TRUE(watch.finished());
    EXPECT_TRUE(browserWindows().isEmpty());
    EXPECT_TRUE(waitUntil([&] { return m_browser->LocationName() == u"本窗口"; }));
}

TEST_F(BrowserTest, ExecWBRejectsCommandsItDoesNotKnow) {
    EXPECT_THROW(m_browser->ExecWB(5, OLECMDEXECOPT_DODEFAULT), PlatformError);
    EXPECT_THROW(m_browser->ExecWB(9, OLECMDEXECOPT_DODEFAULT), PlatformError);
    EXPECT_THROW(m_browser->ExecWB(OLECMDID_PRINT, 3), PlatformError);
}

TEST_F(BrowserTest, EveryCallFailsOnceTheViewIsGone) {
    ASSERT_TRUE(load(m_pages.write("gone.html", "", "x")));
    const auto document = m_browser->Document();
    delete m_browser->view();
    EXPECT_EQ(m_browser->view(), nullptr);
    EXPECT_THROW(m_browser->Navigate(u"about:blank"), PlatformError);
    EXPECT_THROW(m_browser->LocationURL(), PlatformError);
    EXPECT_THROW(m_browser->LocationName(), PlatformError);
    EXPECT_THROW(m_browser->Width(), PlatformError);
    EXPECT_THROW(m_browser->setTop(0), PlatformError);
    EXPECT_THROW(m_browser->SetFocus(), PlatformError);
    EXPECT_THROW(m_browser->Document(), PlatformError);
    EXPECT_THROW(m_browser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DODEFAULT), PlatformError);
    EXPECT_THROW(document->call(u"execCommand", { u"copy" }), PlatformError);
}

} // namespace
} // namespace qz
