#pragma once

#include <chrono>
#include <optional>

namespace qz {

// What a page does when its renderer process dies. The first death reloads the page; another within
// a minute of the one before shows the page-stopped notice instead, since the page itself is then the
// likely cause. Should the notice die as well, it is shown again only after a pause that doubles each
// time, so that an engine which cannot keep a renderer alive does not start one after another.
class RendererCrashPolicy final {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::seconds kRepeatWindow { 60 };
    static constexpr std::chrono::milliseconds kFirstPause { 1000 };
    static constexpr std::chrono::milliseconds kLongestPause { 30000 };

    enum class Action { Reload, ShowNotice };
    struct Step {
        Action action;
        std::chrono::milliseconds delay;
        bool operator==(const Step&) const = default;
    };

    Step onCrash(Clock::time_point now);

private:
    std::optional<Clock::time_point> m_lastCrash;
    int m_repeats = 0;
};

} // namespace qz
