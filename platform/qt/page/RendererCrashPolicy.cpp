#include "RendererCrashPolicy.h"

#include <algorithm>

namespace qz {

RendererCrashPolicy::Step RendererCrashPolicy::onCrash(Clock::time_point now) {
    const bool repeated = m_lastCrash && now - *m_lastCrash <= kRepeatWindow;
    m_repeats = repeated ? m_repeats + 1 : 0;
    m_lastCrash = now;
    if (m_repeats == 0)
        return { Action::Reload, std::chrono::milliseconds(0) };
    if (m_repeats == 1)
        return { Action::ShowNotice, std::chrono::milliseconds(0) };
    // The shift stops growing long before it could overflow: the pause is capped anyway.
    const int doublings = std::min(m_repeats - 2, 16);
    return { Action::ShowNotice, std::min(kFirstPause * (1 << doublings), kLongestPause) };
}

} // namespace qz
