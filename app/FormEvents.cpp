#include "FormEvents.h"

#include "app/ClickHandlers.h"
#include "tray/Module1.h"

#include <string>

namespace qz {

FormEvents::FormEvents(FormParts parts, ErrorBoundary& boundary)
    : m_form(parts)
    , m_boundary(boundary) {}

void FormEvents::load() {
    m_boundary.run("Form_Load", [this] { m_form.Form_Load(); });
}

void FormEvents::tick() {
    m_boundary.run("Timer1_Timer", [this] { m_form.Timer1_Timer(); });
}

void FormEvents::menuPicked(const MenuItem& item) {
    const ClickHandler click = clickHandler(item.name);
    if (!click)
        return;
    m_boundary.run(std::string(item.name) + "_Click", [&] { (m_form.*click)(); });
}

void FormEvents::sessionEnded() {
    m_boundary.run("Form_EndSession", [this] { m_form.Form_EndSession(); });
}

bool FormEvents::closeRequested(const Window::UnloadHandler& unload, ErrorBoundary& boundary) {
    std::int16_t cancel = 0;
    const bool completed = boundary.run("Form_Unload", [&] {
        if (unload)
            unload(cancel);
    });
    return completed && cancel == 0;
}

std::optional<LRESULT> FormEvents::trayMessage(
    LONG_PTR procedure, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, ErrorBoundary& boundary) {
    std::optional<LRESULT> result;
    if (procedure == 0)
        return result;
    boundary.run("TrayWindowProc",
        [&] { result = reinterpret_cast<WNDPROC>(procedure)(hWnd, message, wParam, lParam); });
    return result;
}

FormEvents::TrayIconKey FormEvents::trayIcon() {
    return { Module1.TrayIconData.hWnd, Module1.TrayIconData.uID };
}

} // namespace qz
