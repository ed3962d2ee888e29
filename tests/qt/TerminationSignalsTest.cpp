#include <csignal>
#include <string>

#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/qt/TerminationSignals.h"

namespace qz {
namespace {

volatile std::sig_atomic_t beforeHandlerRan = 0;
void beforeHandler(int) {
    beforeHandlerRan = 1;
}

class TerminationSignalsTest : public testing::TestWithParam<int> { };

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

TEST_P(TerminationSignalsTest, PreviousHandlerComesBackAfterwards) {
    std::signal(GetParam(), beforeHandler);
    { TerminationSignals termination; }
    beforeHandlerRan = 0;
    std::raise(GetParam());
    EXPECT_EQ(beforeHandlerRan, 1);
    std::signal(GetParam(), SIG_DFL);
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignalsTest, testing::Values(SIGTERM, SIGINT, SIGHUP),
    [](const testing::TestParamInfo<int>& p) { return std::to_string(p.param); });

} // namespace
} // namespace qz
