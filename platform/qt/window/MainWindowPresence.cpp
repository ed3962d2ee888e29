#include "MainWindowPresence.h"

namespace qz {

MainWindowPresence::MainWindowPresence(const QWidget* window)
    : m_window(window) {}

bool MainWindowPresence::shown() const {
    return m_window && m_window->isVisible() && !m_window->isMinimized();
}

} // namespace qz
