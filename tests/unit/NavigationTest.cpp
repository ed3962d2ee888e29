#include "app/BuildConfig.h"
#include "app/ClickHandlers.h"
#include "commands/MenuTree.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace qz::test {
namespace {

// The addresses as this build's scheme and hosts make them.
const std::string kScheme = utf8(build::PortalScheme) + "://";
const std::string kService = kScheme + utf8(build::ServiceHost);
const std::string kSearch = kScheme + utf8(build::SearchHost);
const std::string kSite = kScheme + utf8(build::SiteHost);
const std::string kHome = kScheme + utf8(build::HomeHost);

struct LinkCase {
    std::string item;
    std::string address;
    std::string tag;
};

class PortalLinkCommand : public testing::TestWithParam<LinkCase> {};

TEST_P(PortalLinkCommand, NavigatesANewWindowWithFiveArguments) {
    const LinkCase& c = GetParam();
    FakePlatform platform;
    Form1 form(platform.parts());
    (form.*clickHandler(c.item))();
    EXPECT_EQ(platform.log.entries,
        std::vector<std::string> { "WebBrowser1.Navigate=" + c.address + "|" + c.tag + "|_blank||" });
    // The main window is left exactly as it was.
    EXPECT_EQ(platform.browser.url, u"http:///");
    EXPECT_FALSE(platform.window.visible);
}

INSTANTIATE_TEST_SUITE_P(Links, PortalLinkCommand,
    testing::Values(LinkCase { "mnuTrayQZGo", kService + "/qz/Go/?from=qz", "qzgo" },
        LinkCase { "mnuTrayMyQZ", kService + "/member/?from=qz", "myqz" },
        LinkCase { "mnuTraySearch", kSearch + "/?from=qz", "search" },
        LinkCase { "mnuTraySite", kSite + "/?from=qz", "site" },
        LinkCase { "mnuTrayHelp", kService + "/help/?from=qz", "help" },
        LinkCase { "QZGo", kService + "/qz/Go/?from=qz", "qzgo" },
        LinkCase { "QZCenter", kService + "/member/?from=qz", "myqz" },
        LinkCase { "Search", kSearch + "/?from=qz", "search" },
        LinkCase { "Site", kSite + "/?from=qz", "site" },
        LinkCase { "Update", kHome + "/qz/Update/?version=1.0.0&from=qz", "update" },
        LinkCase { "HelpArticle", kHome + "/qz/help/?version=1.0.0&from=qz", "help" },
        LinkCase { "GuestBook", kHome + "/qz/guestbook/?version=1.0.0&from=qz", "guest" },
        LinkCase { "QZIntro", kHome + "/qz/intro/?version=1.0.0&from=qz", "intro" },
        LinkCase { "QZOffice", kHome + "/?version=1.0.0&from=qz", "office" }),
    [](const testing::TestParamInfo<LinkCase>& param) { return param.param.item; });

TEST(PortalLinkCommand, AFailingNavigateChangesNothingAndTheNextClickWorks) {
    FakePlatform platform;
    Form1 form(platform.parts());
    platform.log.failAt("WebBrowser1.Navigate");
    EXPECT_THROW(form.Search_Click(), PlatformError);
    form.Search_Click();
    EXPECT_EQ(platform.log.entries.size(), 2u);
    EXPECT_EQ(platform.log.entries[0], platform.log.entries[1]);
}

} // namespace
} // namespace qz::test
