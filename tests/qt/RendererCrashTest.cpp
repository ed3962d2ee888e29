// A page whose renderer process dies: reloaded the first time, a notice with a way back the second.
#include <csignal>
#include <functional>

#include <sys/types.h>

#include <QWebEngineView>
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "platform/qt/printing/Printing.h"
#include "platform/qt/window/QtBrowser.h"

namespace qz {
namespace {

using test::waitUntil;

// Nothing listens there: the engine shows its error page, which has a renderer like any page, and
// the address stays the one asked for.
const QUrl kAddress(QStringLiteral("http://127.0.0.1:9/portal/?from=qz"));

class RendererCrashTest : public ::testing::Test {
protected:
    void watch(QWebEnginePage* page) {
        m_page = page;
        QObject::connect(page, &QWebEnginePage::loadFinished, &m_context, [this] { ++m_loads; });
        QObject::connect(page, &QWebEnginePage::renderProcessTerminated, &m_context,
            [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                ++m_deaths;
                m_lastStatus = status;
            });
    }

    // The page's renderer once it has one other than the given one.
    qint64 rendererOtherThan(qint64 previous) {
        qint64 pid = 0;
        waitUntil([&] {
            pid = m_page->renderProcessPid();
            return pid > 0 && pid != previous;
        });
        return pid != previous ? pid : 0;
    }

    void killRenderer(qint64 pid) {
        ASSERT_GT(pid, 0);
        ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
    }

    QString noticeLink() {
        QString href;
        bool done = false;
        m_page->runJavaScript(QStringLiteral("(document.querySelector('a.button') || {}).href || ''"),
            [&](const QVariant& value) {
                href = value.toString();
                done = true;
            });
        waitUntil([&] { return done; });
        return href;
    }

    // Runs the two deaths and checks what the page does after each.
    void crashTwice(const std::function<QString()>& caption) {
        ASSERT_TRUE(waitUntil([this] { return m_loads > 0; }));
        const qint64 first = rendererOtherThan(0);
        const int loads = m_loads;
        killRenderer(first);

        // Reloaded: the address is asked for again, in a new renderer.
        ASSERT_TRUE(waitUntil([&] { return m_deaths == 1 && m_loads > loads; }));
        EXPECT_EQ(m_lastStatus, QWebEnginePage::KilledTerminationStatus);
        EXPECT_EQ(m_page->url(), kAddress);
        const qint64 second = rendererOtherThan(first);
        EXPECT_NE(caption(), WebPage::kStoppedTitle);
        killRenderer(second);

        // Again within the minute: the notice, pointing back at the address.
        ASSERT_TRUE(waitUntil([&] { return caption() == WebPage::kStoppedTitle; }))
            << caption().toStdString();
        EXPECT_EQ(m_deaths, 2);
        EXPECT_FALSE(WebPage::kStoppedTitle.contains(QStringLiteral("QZ")));
        EXPECT_EQ(noticeLink(), kAddress.toString());
    }

    test::TestProfile m_profile;
    Printing m_printing;
    QObject m_context;
    QWebEnginePage* m_page = nullptr;
    int m_loads = 0;
    int m_deaths = 0;
    QWebEnginePage::RenderProcessTerminationStatus m_lastStatus = QWebEnginePage::NormalTerminationStatus;
};

TEST_F(RendererCrashTest, MainViewReloadsOnceThenShowsTheNotice) {
    QWidget container;
    container.resize(400, 300);
    container.show();
    QtBrowser browser(&container, m_profile.pages(), m_printing);
    watch(browser.view()->page());
    browser.Navigate(kAddress.toString().toStdU16String());
    crashTwice([&] { return QString::fromStdU16String(browser.LocationName()); });
}

TEST_F(RendererCrashTest, BrowserWindowReloadsOnceThenShowsTheNotice) {
    auto* window = m_profile.pages().openWindow();
    window->show();
    watch(window->page());
    window->view()->load(kAddress);
    crashTwice([window] { return window->windowTitle(); });
    window->close();
}

TEST_F(RendererCrashTest, NoticeThatDiesIsShownAgain) {
    QWebEngineView view;
    auto* page = new WebPage(m_profile.pages(), &view);
    view.setPage(page);
    view.resize(400, 300);
    view.show();
    watch(page);
    view.load(kAddress);
    ASSERT_TRUE(waitUntil([this] { return m_loads > 0; }));
    qint64 pid = 0;
    for (int death = 1; death <= 3; ++death) {
        pid = rendererOtherThan(pid);
        killRenderer(pid);
        ASSERT_TRUE(waitUntil([&] { return m_deaths == death; }));
    }
    // The third death within the minute: the notice again, after a pause.
    EXPECT_TRUE(waitUntil(
        [&] { return page->title() == WebPage::kStoppedTitle && page->renderProcessPid() != pid; }));
    EXPECT_EQ(page->title(), WebPage::kStoppedTitle);
}

} // namespace
} // namespace qz
