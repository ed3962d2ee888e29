#pragma once

class QWidget;

namespace qz {

// Whether the user can see the main window, as every part of the shell asks it: no question is put
// over a window the user cannot see, and what the window would have shown goes to a balloon instead.
// The main window's own folder decides it (MainWindowPresence); the parts that ask are given it.
class WindowPresence {
public:
    virtual bool shown() const = 0;
    // Whether widget is the main window.
    virtual bool is(const QWidget* widget) const = 0;

protected:
    ~WindowPresence() = default;
};

} // namespace qz
