#pragma once

#include <stdexcept>
#include <string>

namespace qz {

// Any error a handler does not trap. It ends the running handler at the step that raised it;
// the error boundary reports it and the shell goes on with the next event.
class ShellError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A call on the window, a control, the screen or the browser that failed.
class PlatformError : public ShellError {
public:
    using ShellError::ShellError;
};

// A value that does not fit 16 bits, or text too large for a double.
class OverflowError : public ShellError {
public:
    OverflowError()
        : ShellError("overflow") {}
};

} // namespace qz
