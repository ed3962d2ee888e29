#pragma once

#include <QMetaObject>
#include <QPointer>

#include "platform/Window.h"

namespace qz {

class HandleTable;
class MainWindow;
class TrayPopupPosition;
class MenuBuilder;

// The main window's services over MainWindow, in its logical geometry: Width and Height are the area
// under the menu bar plus a 20-pixel bar, whatever the bar's and the frame's real size; Left and Top
// place what the user sees centred where a window of that size at that place would be.
// Once the window is destroyed every call raises PlatformError.
class QtWindow final : public Window {
public:
    // The tray menu opens where popupPosition says, at the pointer otherwise.
    QtWindow(MainWindow& window, HandleTable& handles, const TrayPopupPosition& popupPosition);
    ~QtWindow() override;
    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    // The menus PopupMenu opens; they are built after the form, which needs this window first.
    void setMenus(const MenuBuilder* menus) { m_menus = menus; }

    std::u16string Caption() override;
    void setCaption(const std::u16string& text) override;
    float Left() override;
    float Top() override;
    float Width() override;
    float Height() override;
    void setLeft(float twips) override;
    void setTop(float twips) override;
    void setWidth(float twips) override;
    void setHeight(float twips) override;
    std::int16_t WindowState() override;
    void setWindowState(std::int16_t state) override;
    void Show() override;
    void Hide() override;
    void SetFocus() override;
    HWND hWnd() override;
    HICON IconHandle() override;
    void PopupMenu(const MenuItem& menu) override;
    void Unload() override;
    void Print(const std::u16string& text) override;
    void onUnload(UnloadHandler handler) override;

private:
    MainWindow& live(const char* operation) const;

    QPointer<MainWindow> m_window;
    HandleTable& m_handles;
    const TrayPopupPosition& m_popupPosition;
    HWND m_hWnd;
    QMetaObject::Connection m_destroyedConnection;
    const MenuBuilder* m_menus = nullptr;
};

} // namespace qz
