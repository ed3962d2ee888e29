#pragma once

#include "Menu.h"
#include "TraySystemCalls.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qz {

inline constexpr std::int16_t vbNormal = 0;
inline constexpr std::int16_t vbMinimized = 1;
inline constexpr std::int16_t vbMaximized = 2;

// The main window's services. Geometry is in twips, the window's outer rectangle; every call may
// raise PlatformError.
class Window {
public:
    virtual ~Window() = default;

    virtual std::u16string Caption() = 0;
    virtual void setCaption(const std::u16string& text) = 0;
    virtual float Left() = 0;
    virtual float Top() = 0;
    virtual float Width() = 0;
    virtual float Height() = 0;
    virtual void setLeft(float twips) = 0;
    virtual void setTop(float twips) = 0;
    virtual void setWidth(float twips) = 0;
    virtual void setHeight(float twips) = 0;
    virtual std::int16_t WindowState() = 0;
    virtual void setWindowState(std::int16_t state) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void SetFocus() = 0;
    virtual HWND hWnd() = 0;
    virtual HICON IconHandle() = 0; // the Handle of the window's Icon
    // Opens a top-level menu at the pointer; a picked item's handler has run when it returns.
    virtual void PopupMenu(const MenuItem& menu) = 0;
    // Runs the unload handler with Cancel = 0 and destroys the window unless it set Cancel.
    virtual void Unload() = 0;
    // Draws one line of text on the window's own surface.
    virtual void Print(const std::u16string& text) = 0;

    // The unload handler, run by Unload and by every close request from the window frame.
    using UnloadHandler = std::function<void(std::int16_t& cancel)>;
    virtual void onUnload(UnloadHandler handler) = 0;
};

class Timer {
public:
    virtual ~Timer() = default;
    virtual bool Enabled() = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual std::int32_t Interval() = 0;
};

class Screen {
public:
    virtual ~Screen() = default;
    virtual float Width() = 0; // twips
    virtual float Height() = 0;
};

inline constexpr std::int32_t vbYesNo = 4;
inline constexpr std::int32_t vbYes = 6;
inline constexpr std::int32_t vbNo = 7;
inline constexpr std::int32_t vbNormalFocus = 1;

// Application-wide services of the window system.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Modal message box; with vbYesNo it returns vbYes or vbNo.
    virtual std::int32_t MsgBox(
        const std::u16string& prompt, std::int32_t buttons, const std::u16string& title)
        = 0;
    // One pass of the message pump: every pending message is dispatched.
    virtual void DoEvents() = 0;
    // Starts a command line as a new process without waiting for it; returns its process id.
    virtual std::int64_t Shell(const std::u16string& commandLine, std::int32_t windowStyle) = 0;
    // Whether a notification area is there to hold the tray icon.
    virtual bool NotificationAreaAvailable() = 0;
};

} // namespace qz
