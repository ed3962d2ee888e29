#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/qt/window/QtTimer.h"

namespace qz {
namespace {

TEST(QtTimer, CreatedEnabledTicksAtItsInterval) {
    QtTimer timer(50, true);
    int ticks = 0;
    timer.onTick([&] { ++ticks; });
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 50);
    EXPECT_TRUE(test::waitFor([&] { return ticks >= 2; }, 2000));
}

TEST(QtTimer, TheFormsTimerRunsEveryHalfSecond) {
    QtTimer timer(500, true);
    EXPECT_EQ(timer.Interval(), 500);
    EXPECT_TRUE(timer.Enabled());
}

TEST(QtTimer, CreatedDisabledStaysSilent) {
    QtTimer timer(20, false);
    int ticks = 0;
    timer.onTick([&] { ++ticks; });
    EXPECT_FALSE(timer.Enabled());
    test::runEvents(150);
    EXPECT_EQ(ticks, 0);
}

TEST(QtTimer, DisabledFromItsOwnTickItNeverTicksAgain) {
    QtTimer timer(20, true);
    int ticks = 0;
    timer.onTick([&] {
        ++ticks;
        timer.setEnabled(false);
    });
    ASSERT_TRUE(test::waitFor([&] { return ticks == 1; }));
    EXPECT_FALSE(timer.Enabled());
    test::runEvents(150);
    EXPECT_EQ(ticks, 1);
}

TEST(QtTimer, EnabledAgainItTicksAgain) {
    QtTimer timer(20, false);
    int ticks = 0;
    timer.onTick([&] { ++ticks; });
    timer.setEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_TRUE(test::waitFor([&] { return ticks >= 1; }));
}

} // namespace
} // namespace qz
