#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>

namespace qz {

// The one place where errors that no handler traps end. Every way in from the toolkit (menu pick,
// timer tick, close request, tray message, start-up) runs its handler through run(): an error is
// written once to the report stream with the handler's name, and control goes back to the event loop.
// The same error from the same handler again (a bad title polled twice a second) is not written again
// until that handler has once completed.
class ErrorBoundary {
public:
    explicit ErrorBoundary(std::ostream& report);

    // True when the handler completed.
    bool run(std::string_view handler, const std::function<void()>& body) noexcept;

private:
    void report(std::string_view handler, const std::string& what) noexcept;

    std::ostream& m_report;
    std::map<std::string, std::string, std::less<>> m_lastReported;
};

// The process-wide boundary, reporting on stderr.
ErrorBoundary& errorBoundary();

} // namespace qz
