#include "commands/MenuTree.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace qz::test {
namespace {

struct LinkCase {
    std::string item;
    std::string address;
    std::string tag;
};

class PortalLinkCommand : public testing::TestWithParam<LinkCase> { };

TEST_P(PortalLinkCommand, NavigatesANewWindowWithFiveArguments) {
    const LinkCase& c = GetParam();
    FakePlatform platform;
    Form1 form(platform.parts());
    (form.*menuEntry(c.item).click)();
    EXPECT_EQ(platform.log.entries,
        std::vector<std::string> { "WebBrowser1.Navigate=" + c.address + "|" + c.tag + "|_blank||" });
    // The main window is left exactly as it was.
    EXPECT_EQ(platform.browser.url, u"http:///");
    EXPECT_FALSE(platform.window.visible);
}

INSTANTIATE_TEST_SUITE_P(Links, PortalLinkCommand,
    testing::Values(LinkCase { "mnuTrayQZGo", "http://127.0.0.1:8301/qz/Go/?from=qz", "qzgo" },
        LinkCase { "mnuTrayMyQZ", "http://127.0.0.1:8301/member/?from=qz", "myqz" },
        LinkCase { "mnuTraySearch", "http://127.0.0.1:8302/?from=qz", "search" },
        LinkCase { "mnuTraySite", "http://127.0.0.1:8303/?from=qz", "site" },
        LinkCase { "mnuTrayHelp", "http://127.0.0.1:8301/help/?from=qz", "help" },
        LinkCase { "QZGo", "http://127.0.0.1:8301/qz/Go/?from=qz", "qzgo" },
        LinkCase { "QZCenter", "http://127.0.0.1:8301/member/?from=qz", "myqz" },
        LinkCase { "Search", "http://127.0.0.1:8302/?from=qz", "search" },
        LinkCase { "Site", "http://127.0.0.1:8303/?from=qz", "site" },
        LinkCase { "Update", "http://127.0.0.1:8304/qz/Update/?version=1.0.0&from=qz", "update" },
        LinkCase { "HelpArticle", "http://127.0.0.1:8304/qz/help/?version=1.0.0&from=qz", "help" },
        LinkCase { "GuestBook", "http://127.0.0.1:8304/qz/guestbook/?version=1.0.0&from=qz", "guest" },
        LinkCase { "QZIntro", "http://127.0.0.1:8304/qz/intro/?version=1.0.0&from=qz", "intro" },
        LinkCase { "QZOffice", "http://127.0.0.1:8304/?version=1.0.0&from=qz", "office" }),
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
