#pragma once

#include "app/ErrorBoundary.h"
#include "app/Form1.h"
#include "platform/TraySystemCalls.h"
#include "platform/Window.h"

#include <optional>

namespace qz {

// The one way in from the toolkit: every event the window system delivers (start-up, timer tick,
// close request, menu pick, tray message, end of session) comes here and runs the form's handler of
// that name inside the error boundary, so that nothing unwinds into the toolkit's event loop.
class FormEvents {
public:
    explicit FormEvents(FormParts parts, ErrorBoundary& boundary = errorBoundary());
    FormEvents(const FormEvents&) = delete;
    FormEvents& operator=(const FormEvents&) = delete;

    Form1& form() { return m_form; }

    void load();
    void tick();
    void menuPicked(const MenuItem& item);
    void sessionEnded();

    // A close request from the window frame runs the window's unload handler; true when the window
    // is to close: the handler completed and left Cancel at 0.
    static bool closeRequested(
        const Window::UnloadHandler& unload, ErrorBoundary& boundary = errorBoundary());
    // A message the notification area sends to a window, through the procedure its slot holds; the
    // procedure's answer, or nothing when there is no procedure or it raised an error.
    static std::optional<LRESULT> trayMessage(LONG_PTR procedure, HWND hWnd, UINT message, WPARAM wParam,
        LPARAM lParam, ErrorBoundary& boundary = errorBoundary());

    // The window and id that the clicks on the form's tray icon carry.
    struct TrayIconKey {
        HWND hWnd;
        UINT id;
    };
    static TrayIconKey trayIcon();

private:
    Form1 m_form;
    ErrorBoundary& m_boundary;
};

} // namespace qz
