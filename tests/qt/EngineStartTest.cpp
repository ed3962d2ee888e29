#include <chrono>

#include <QWebEnginePage>
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "platform/qt/host/EngineStart.h"

namespace qz {
namespace {

using namespace std::chrono_literals;

TEST(EngineStart, AnEndWaitsForThePagesFirstLoadOrTheBoundThenNothingWaits) {
    const test::TestProfile profile;
    QWebEnginePage loading(profile.get());
    QWebEnginePage idle(profile.get());
    EngineStart loaded(&loading, 1min);
    EngineStart bounded(&idle, 50ms);
    int ends = 0;
    for (EngineStart* start : { &loaded, &loaded, &bounded })
        start->whenDone([&] { ++ends; });
    EXPECT_EQ(ends, 0);

    loading.setHtml(QStringLiteral("<p>门户</p>"));
    ASSERT_TRUE(test::waitUntil([&] { return ends == 3; }));
    loaded.whenDone([&] { ++ends; });
    EXPECT_EQ(ends, 4);
}

} // namespace
} // namespace qz
