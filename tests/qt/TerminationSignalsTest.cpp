#include <csignal>
#include <string>

#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/qt/host/TerminationSignals.h"

namespace qz {
namespace {

class TerminationSignalsTest : public testing::TestWithParam<int> {};

TEST_P(TerminationSignalsTest, ArriveOnTheEventLoop) {
    TerminationSignals termination;
    std::vector<int> received;
    QObject::connect(
        &termination, &TerminationSignals::received, [&](int number) { received.push_back(number); });
    ASSERT_EQ(std::raise(GetParam()), 0);
    EXPECT_TRUE(received.empty()); // nothing runs inside the handler
    ASSERT_TRUE(test::waitFor([&] { return !received.empty(); }));
    EXPECT_EQ(received, std::vector<int>({ GetParam() }));
}

// A signal in start-up, before anything listens, waits for the first listener.
TEST_P(TerminationSignalsTest, SignalBeforeAnyListenerWaitsForTheNext) {
    TerminationSignals::catchEarly();
    ASSERT_EQ(std::raise(GetParam()), 0);
    EXPECT_TRUE(TerminationSignals::pending());
    TerminationSignals termination;
    std::vector<int> received;
    QObject::connect(
        &termination, &TerminationSignals::received, [&](int number) { received.push_back(number); });
    ASSERT_TRUE(test::waitFor([&] { return !received.empty(); }));
    EXPECT_EQ(received, std::vector<int>({ GetParam() }));
    EXPECT_FALSE(TerminationSignals::pending());
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignalsTest, testing::Values(SIGTERM, SIGINT, SIGHUP),
    [](const testing::TestParamInfo<int>& p) { return std::to_string(p.param); });

} // namespace
} // namespace qz
