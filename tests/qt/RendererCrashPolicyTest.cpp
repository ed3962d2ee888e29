#include <gtest/gtest.h>

#include "platform/qt/page/RendererCrashPolicy.h"

namespace qz {

// Beside the step's own namespace, where gtest looks for it.
void PrintTo(const RendererCrashPolicy::Step& step, std::ostream* out) {
    *out << (step.action == RendererCrashPolicy::Action::Reload ? "Reload" : "ShowNotice") << " after "
         << step.delay.count() << " ms";
}

namespace {

using namespace std::chrono_literals;
using Action = RendererCrashPolicy::Action;
using Step = RendererCrashPolicy::Step;

const RendererCrashPolicy::Clock::time_point t0 {};

TEST(RendererCrashPolicy, FirstCrashReloadsAndASecondWithinAMinuteShowsTheNotice) {
    RendererCrashPolicy policy;
    EXPECT_EQ(policy.onCrash(t0), (Step { Action::Reload, 0ms }));
    EXPECT_EQ(policy.onCrash(t0 + 60s), (Step { Action::ShowNotice, 0ms }));
}

TEST(RendererCrashPolicy, CrashesMoreThanAMinuteApartEachReload) {
    RendererCrashPolicy policy;
    EXPECT_EQ(policy.onCrash(t0), (Step { Action::Reload, 0ms }));
    EXPECT_EQ(policy.onCrash(t0 + 60s + 1ms), (Step { Action::Reload, 0ms }));
    EXPECT_EQ(policy.onCrash(t0 + 130s), (Step { Action::Reload, 0ms }));
    // The minute counts from the crash before, not from the first.
    EXPECT_EQ(policy.onCrash(t0 + 131s), (Step { Action::ShowNotice, 0ms }));
}

TEST(RendererCrashPolicy, NoticeThatKeepsCrashingIsShownAgainAfterGrowingPauses) {
    RendererCrashPolicy policy;
    auto now = t0;
    policy.onCrash(now);
    policy.onCrash(now += 1s);
    EXPECT_EQ(policy.onCrash(now += 1s), (Step { Action::ShowNotice, 1000ms }));
    EXPECT_EQ(policy.onCrash(now += 2s), (Step { Action::ShowNotice, 2000ms }));
    EXPECT_EQ(policy.onCrash(now += 3s), (Step { Action::ShowNotice, 4000ms }));
    for (int i = 0; i < 100; ++i)
        policy.onCrash(now += 31s);
    EXPECT_EQ(policy.onCrash(now += 31s), (Step { Action::ShowNotice, 30000ms }));
    // A quiet minute starts over.
    EXPECT_EQ(policy.onCrash(now += 61s), (Step { Action::Reload, 0ms }));
}

} // namespace
} // namespace qz
