// The shell's own Internet options dialog: non-modal, one at a time, and nothing deleted unasked.
#include <QLabel>
#include <QMessageBox>
#include <QNetworkCookie>
#include <QPushButton>
#include <QWebEngineCookieStore>
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "platform/qt/page/ProxyInUse.h"
#include "platform/qt/window/InternetOptionsDialog.h"

namespace qz {
namespace {

using test::waitUntil;
using test::whenModal;

class BrowserInternetOptionsTest : public ::testing::Test {
protected:
    BrowserInternetOptionsTest() {
        test::LoadWatch watch(&m_page);
        m_page.setHtml(QStringLiteral("<p>门户</p>"));
        EXPECT_TRUE(watch.finished());
    }

    ~BrowserInternetOptionsTest() override { qDeleteAll(m_owner.findChildren<InternetOptionsDialog*>()); }

    QList<InternetOptionsDialog*> dialogs() const { return m_owner.findChildren<InternetOptionsDialog*>(); }

    test::TestProfile m_profile { test::TestProfile::OnDisk };
    // The engine starts a profile's cookie store with its first page load, as the main window's
    // view does at start-up.
    QWebEnginePage m_page { m_profile.get() };
    const ProxyInUse m_proxy { ProxyInUse::Source::Desktop, "proxy.example.com:3128", "GNOME" };
    QWidget m_owner;
    QPointer<InternetOptionsDialog> m_shown;
};

// Answers the next question with the button of the given text, after checking that it is a
// yes/no question whose default is no.
void answer(const char16_t* reply, int* asked) {
    whenModal<QMessageBox>([reply, asked](QMessageBox* box) {
        ++*asked;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Internet 选项"));
        ASSERT_NE(box->button(QMessageBox::Yes), nullptr);
        ASSERT_NE(box->button(QMessageBox::No), nullptr);
        EXPECT_EQ(box->button(QMessageBox::Yes)->text(), QStringLiteral("是"));
        EXPECT_EQ(box->button(QMessageBox::No)->text(), QStringLiteral("否"));
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        for (QAbstractButton* button : box->buttons())
            if (button->text() == QString::fromUtf16(reply))
                button->click();
    });
}

TEST_F(BrowserInternetOptionsTest, OpensOneNonModalDialogAndReturnsAtOnce) {
    m_owner.show();
    showInternetOptions(m_shown, &m_owner, m_profile.get(), m_proxy);
    ASSERT_EQ(dialogs().size(), 1);
    InternetOptionsDialog* dialog = dialogs().front();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Internet 选项"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    showInternetOptions(m_shown, &m_owner, m_profile.get(), m_proxy);
    EXPECT_EQ(dialogs(), QList<InternetOptionsDialog*> { dialog });

    QPointer<InternetOptionsDialog> closed = dialog;
    QTimer::singleShot(0, dialog, &QWidget::close);
    ASSERT_TRUE(waitUntil([&] { return closed.isNull(); }));
    showInternetOptions(m_shown, &m_owner, m_profile.get(), m_proxy);
    EXPECT_EQ(dialogs().size(), 1);
}

TEST_F(BrowserInternetOptionsTest, ShowsWhereTheProfileKeepsItsData) {
    showInternetOptions(m_shown, &m_owner, m_profile.get(), m_proxy);
    ASSERT_EQ(dialogs().size(), 1);
    QStringList texts;
    for (const QLabel* label : dialogs().front()->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(m_profile.get()->persistentStoragePath()));
    EXPECT_TRUE(texts.contains(m_profile.get()->cachePath()));
    // The connection: the proxy in use and where it was set.
    EXPECT_TRUE(texts.contains(QStringLiteral("proxy.example.com:3128"))) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("桌面设置（GNOME）")));
    const auto* size = dialogs().front()->findChild<QLabel*>(QStringLiteral("cacheSize"));
    ASSERT_NE(size, nullptr);
    EXPECT_FALSE(size->text().isEmpty());
}

TEST_F(BrowserInternetOptionsTest, EveryDeletionAsksFirstAndDoesNothingOnNo) {
    QWebEngineCookieStore* cookies = m_profile.get()->cookieStore();
    int added = 0;
    int removed = 0;
    QObject::connect(cookies, &QWebEngineCookieStore::cookieAdded, &m_owner, [&] { ++added; });
    QObject::connect(cookies, &QWebEngineCookieStore::cookieRemoved, &m_owner, [&] { ++removed; });
    const QUrl portal(QStringLiteral("http://127.0.0.1/"));
    QNetworkCookie login("login", "1");
    login.setDomain(QStringLiteral("127.0.0.1"));
    login.setPath(QStringLiteral("/"));
    login.setExpirationDate(QDateTime::currentDateTime().addDays(1));
    cookies->setCookie(login, portal);
    ASSERT_TRUE(waitUntil([&] { return added == 1; }));

    showInternetOptions(m_shown, &m_owner, m_profile.get(), m_proxy);
    ASSERT_EQ(dialogs().size(), 1);
    int asked = 0;
    for (const char* name : { "deleteCookies", "clearCache", "clearVisitedLinks" }) {
        auto* button = dialogs().front()->findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        answer(u"否", &asked);
        button->click();
    }
    EXPECT_EQ(asked, 3);

    // The store reports its changes in order: had the cookie been deleted, its removal would
    // come before the addition of the next one.
    QNetworkCookie marker("marker", "1");
    marker.setDomain(QStringLiteral("127.0.0.1"));
    marker.setPath(QStringLiteral("/"));
    marker.setExpirationDate(QDateTime::currentDateTime().addDays(1));
    cookies->setCookie(marker, portal);
    ASSERT_TRUE(waitUntil([&] { return added == 2; }));
    EXPECT_EQ(removed, 0);
}

TEST_F(BrowserInternetOptionsTest, DeletesTheCookiesOnceTheUserSaysYes) {
    QWebEngineCookieStore* cookies = m_profile.get()->cookieStore();
    int added = 0;
    int removed = 0;
    QObject::connect(cookies, &QWebEngineCookieStore::cookieAdded, &m_owner, [&] { ++added; });
    QObject::connect(cookies, &QWebEngineCookieStore::cookieRemoved, &m_owner, [&] { ++removed; });
    QNetworkCookie login("login", "1");
    login.setDomain(QStringLiteral("127.0.0.1"));
    login.setPath(QStringLiteral("/"));
    login.setExpirationDate(QDateTime::currentDateTime().addDays(1));
    cookies->setCookie(login, QUrl(QStringLiteral("http://127.0.0.1/")));
    ASSERT_TRUE(waitUntil([&] { return added == 1; }));

    showInternetOptions(m_shown, &m_owner, m_profile.get(), m_proxy);
    int asked = 0;
    answer(u"是", &asked);
    dialogs().front()->findChild<QPushButton*>(QStringLiteral("deleteCookies"))->click();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(waitUntil([&] { return removed == 1; }));
}

} // namespace
} // namespace qz
