// What a window of the shell may show at its top level, whoever asks: the portal's pages and the
// documents its own pages make; an outside page goes to the browser, another program's address to
// a question, and nothing else anywhere.
#include <gtest/gtest.h>

#include <QUrl>

#include "platform/qt/page/PortalScope.h"
#include "platform/qt/page/TopLevelAddress.h"

namespace qz {
namespace {

using Verdict = TopLevelVerdict;

struct TopLevelCase {
    const char* target;
    // The address the window shows when it is asked; "" for one that has shown nothing yet.
    const char* shown;
    Verdict verdict;
};

const PortalScope kScope({ QStringLiteral("127.0.0.1:8301") }, QStringLiteral("http"));
constexpr const char* kPortal = "http://127.0.0.1:8301/qz/";
constexpr const char* kOutside = "http://127.0.0.2:8305/frame.html";

class TopLevelDecision : public testing::TestWithParam<TopLevelCase> {};

TEST_P(TopLevelDecision, ShowsOnlyThePortalsOwnContent) {
    const TopLevelCase& c = GetParam();
    EXPECT_EQ(
        judgeTopLevel(QUrl(QString::fromUtf8(c.target)), QUrl(QString::fromUtf8(c.shown)), kScope), c.verdict)
        << c.target << " from " << c.shown;
}

INSTANTIATE_TEST_SUITE_P(Addresses, TopLevelDecision,
    testing::Values(
        // Web pages: the portal's are shown, any other goes to the user's browser.
        TopLevelCase { "http://127.0.0.1:8301/member/", kPortal, Verdict::Show },
        TopLevelCase { "http://127.0.0.1:8301/", "", Verdict::Show },
        TopLevelCase { kOutside, kPortal, Verdict::HandToBrowser },
        // blob: documents carry their maker's origin, whatever the window shows.
        TopLevelCase { "blob:http://127.0.0.1:8301/0b5e6c1e", kPortal, Verdict::Show },
        TopLevelCase { "blob:http://127.0.0.2:8305/0b5e6c1e", kPortal, Verdict::Refuse },
        TopLevelCase { "blob:http://127.0.0.1:8302/0b5e6c1e", kPortal, Verdict::Refuse },
        TopLevelCase { "blob:null/0b5e6c1e", kPortal, Verdict::Refuse },
        TopLevelCase { "blob:http://user@127.0.0.1:8301/0b5e6c1e", kPortal, Verdict::Refuse },
        // data: and javascript: belong to the document shown: the portal's, or refused.
        TopLevelCase { "data:text/html,<title>x</title>", kPortal, Verdict::Show },
        TopLevelCase { "data:text/html,<title>x</title>", kOutside, Verdict::Refuse },
        TopLevelCase { "data:text/html,<title>x</title>", "", Verdict::Refuse },
        TopLevelCase { "data:text/html,x", "blob:http://127.0.0.1:8301/0b5e6c1e", Verdict::Show },
        TopLevelCase { "javascript:void(0)", kPortal, Verdict::Show },
        TopLevelCase { "javascript:alert(1)", "data:text/html,x", Verdict::Refuse },
        // about:blank only as the empty page a window starts with.
        TopLevelCase { "about:blank", "", Verdict::Show },
        TopLevelCase { "about:blank", "about:blank", Verdict::Show },
        TopLevelCase { "about:blank", kPortal, Verdict::Refuse },
        TopLevelCase { "about:srcdoc", "", Verdict::Refuse },
        // Local and engine addresses, never.
        TopLevelCase { "file:///etc/passwd", kPortal, Verdict::Refuse },
        TopLevelCase { "file:///etc/passwd", "", Verdict::Refuse },
        TopLevelCase { "file:///tmp/b.html", "file:///tmp/a.html", Verdict::Show },
        TopLevelCase { "filesystem:http://127.0.0.1:8301/temporary/a.html", kPortal, Verdict::Refuse },
        TopLevelCase { "view-source:http://127.0.0.1:8301/", kPortal, Verdict::Refuse },
        TopLevelCase { "chrome://gpu", kPortal, Verdict::Refuse },
        // Another program's address: a question, from a portal page only.
        TopLevelCase { "mailto:help@example.com", kPortal, Verdict::AskDesktop },
        TopLevelCase { "qzx:payload", kPortal, Verdict::AskDesktop },
        TopLevelCase { "qzx:payload", kOutside, Verdict::Refuse },
        TopLevelCase { "qzx:payload", "", Verdict::Refuse }));

} // namespace
} // namespace qz
