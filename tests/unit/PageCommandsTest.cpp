#include "app/ClickHandlers.h"
#include "commands/MenuTree.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace qz::test {
namespace {

using Calls = std::vector<std::string>;

struct CommandCase {
    std::string item;
    Calls calls;
};

class PageCommand : public testing::TestWithParam<CommandCase> {};

TEST_P(PageCommand, MakesItsCallsInOrder) {
    const CommandCase& c = GetParam();
    FakePlatform platform;
    Form1 form(platform.parts());
    (form.*clickHandler(c.item))();
    EXPECT_EQ(platform.log.entries, c.calls);
}

INSTANTIATE_TEST_SUITE_P(Commands, PageCommand,
    testing::Values(CommandCase { "Blank", {} }, CommandCase { "Refresh", { "WebBrowser1.Refresh2" } },
        CommandCase { "Stop", { "WebBrowser1.Stop" } },
        CommandCase { "InternetSet", { "Shell=rundll32 shell32.dll, Control_RunDLL Inetcpl.cpl|1" } },
        CommandCase { "CtrC", { "WebBrowser1.Document", "Document.execCommand(copy)" } },
        CommandCase { "CtrlV", { "WebBrowser1.Document", "Document.execCommand(paste)" } },
        CommandCase { "SelectAll",
            { "WebBrowser1.Document", "Document.body", "body.focus()", "WebBrowser1.Document",
                "Document.execCommand(SelectAll)" } },
        CommandCase { "PrintDo", { "WebBrowser1.SetFocus", "WebBrowser1.ExecWB=6,0" } },
        CommandCase { "PrintView", { "WebBrowser1.SetFocus", "WebBrowser1.ExecWB=7,0" } },
        CommandCase { "PrintSet", { "WebBrowser1.SetFocus", "WebBrowser1.ExecWB=8,0" } }),
    [](const testing::TestParamInfo<CommandCase>& param) { return param.param.item; });

struct FailureCase {
    std::string item;
    std::string failing;
    Calls calls; // up to and including the failing call
};

class PageCommandFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(PageCommandFailure, StopsAtTheFailingCall) {
    const FailureCase& c = GetParam();
    FakePlatform platform;
    Form1 form(platform.parts());
    platform.log.failAt(c.failing);
    EXPECT_THROW((form.*clickHandler(c.item))(), PlatformError);
    EXPECT_EQ(platform.log.entries, c.calls);
}

INSTANTIATE_TEST_SUITE_P(Failures, PageCommandFailure,
    testing::Values(FailureCase { "PrintDo", "WebBrowser1.SetFocus", { "WebBrowser1.SetFocus" } },
        FailureCase { "PrintView", "WebBrowser1.SetFocus", { "WebBrowser1.SetFocus" } },
        FailureCase { "SelectAll", "Document.body", { "WebBrowser1.Document", "Document.body" } },
        FailureCase {
            "SelectAll", "body.focus()", { "WebBrowser1.Document", "Document.body", "body.focus()" } },
        FailureCase { "CtrC", "WebBrowser1.Document", { "WebBrowser1.Document" } },
        FailureCase {
            "InternetSet", "Shell", { "Shell=rundll32 shell32.dll, Control_RunDLL Inetcpl.cpl|1" } }));

} // namespace
} // namespace qz::test
