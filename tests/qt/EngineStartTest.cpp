#include <chrono>

#include <QWebEnginePage>
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "platform/qt/host/EngineStart.h"

namespace qz {
namespace {

using namespace std::chrono_literals;

TEST(EngineStart, AnEndWaitsForThePagesFirstLoadThenNothingWaits) {
    const test::TestProfile profile;
    QWebEnginePage page(profile.get());
    EngineStart start(&page, 1min);
    int ends = 0;
    start.whenDone([&] { ++ends; });
    start.whenDone([&] { ++ends; });
    EXPECT_EQ(ends, 0);

    page.setHtml(QStringLiteral("<p>门户</p>"));
    ASSERT_TRUE(test::waitUntil([&] { return ends == 2; }));
    start.whenDone([&] { ++ends; });
    EXPECT_EQ(ends, 3);
}

TEST(EngineStart, APageThatNeverLoadsHoldsAnEndOnlyForTheBound) {
    const test::TestProfile profile;
    QWebEnginePage page(profile.get());
    EngineStart start(&page, 50ms);
    bool ended = false;
    start.whenDone([&] { ended = true; });
    EXPECT_TRUE(test::waitUntil([&] { return ended; }));
    EXPECT_TRUE(start.done());
}

} // namespace
} // namespace qz
