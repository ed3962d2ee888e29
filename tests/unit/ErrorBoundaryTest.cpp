#include "app/ErrorBoundary.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace qz {
namespace {

int lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(ErrorBoundary, ReportsAnErrorOnceWithTheHandlerName) {
    std::ostringstream report;
    ErrorBoundary boundary(report);
    EXPECT_FALSE(boundary.run("Timer1_Timer", [] { throw OverflowError(); }));
    EXPECT_EQ(report.str(), "qz-shell: Timer1_Timer: overflow\n");
}

TEST(ErrorBoundary, TheSameErrorRepeatingIsNotReportedAgain) {
    std::ostringstream report;
    ErrorBoundary boundary(report);
    for (int tick = 0; tick < 10; ++tick)
        boundary.run("Timer1_Timer", [] { throw OverflowError(); });
    EXPECT_EQ(lines(report.str()), 1);

    // Another error of the same handler, or the same error from another handler, is news.
    boundary.run("Timer1_Timer", [] { throw PlatformError("Form1.Left= failed"); });
    boundary.run("QZGo_Click", [] { throw OverflowError(); });
    EXPECT_EQ(lines(report.str()), 3);
}

TEST(ErrorBoundary, ACompletedRunMakesTheNextFailureNewsAgain) {
    std::ostringstream report;
    ErrorBoundary boundary(report);
    boundary.run("Timer1_Timer", [] { throw OverflowError(); });
    EXPECT_TRUE(boundary.run("Timer1_Timer", [] {}));
    boundary.run("Timer1_Timer", [] { throw OverflowError(); });
    EXPECT_EQ(lines(report.str()), 2);
}

TEST(ErrorBoundary, CatchesAnythingThrown) {
    std::ostringstream report;
    ErrorBoundary boundary(report);
    EXPECT_FALSE(boundary.run("TrayWindowProc", [] { throw 42; }));
    EXPECT_NE(report.str().find("TrayWindowProc: unknown error"), std::string::npos);
}

} // namespace
} // namespace qz
