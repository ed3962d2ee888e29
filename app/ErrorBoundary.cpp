#include "ErrorBoundary.h"

#include <exception>
#include <iostream>

namespace qz {

ErrorBoundary::ErrorBoundary(std::ostream& report)
    : m_report(report) {}

bool ErrorBoundary::run(std::string_view handler, const std::function<void()>& body) noexcept {
    try {
        body();
        if (auto it = m_lastReported.find(handler); it != m_lastReported.end())
            m_lastReported.erase(it);
        return true;
    } catch (const std::exception& error) {
        report(handler, error.what());
    } catch (...) {
        report(handler, "unknown error");
    }
    return false;
}

void ErrorBoundary::report(std::string_view handler, const std::string& what) noexcept {
    try {
        auto it = m_lastReported.find(handler);
        if (it != m_lastReported.end() && it->second == what)
            return;
        m_lastReported.insert_or_assign(std::string(handler), what);
        m_report << "qz-shell: " << handler << ": " << what << std::endl;
    } catch (...) {
        // Nothing is left to report with; the event loop must still not see it.
    }
}

ErrorBoundary& errorBoundary() {
    static ErrorBoundary boundary(std::cerr);
    return boundary;
}

} // namespace qz
