#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/Window.h"
#include "platform/qt/page/ProxyInUse.h"

class QWebEngineProfile;

namespace qz {

class InternetOptionsDialog;

// Message box, message pump, process start and the notification area's presence, over Qt.
class QtDesktop final : public Desktop {
public:
    // The owner is the window message boxes and dialogs belong to while it is shown; the profile is
    // the one the Internet options act on, which loads through proxy.
    QtDesktop(QWidget* owner, QWebEngineProfile* profile, ProxyInUse proxy = {});

    std::int32_t MsgBox(
        const std::u16string& prompt, std::int32_t buttons, const std::u16string& title) override;
    void DoEvents() override;
    std::int64_t Shell(const std::u16string& commandLine, std::int32_t windowStyle) override;
    bool NotificationAreaAvailable() override;

private:
    QWidget* shownOwner() const;

    QPointer<QWidget> m_owner;
    QWebEngineProfile* m_profile;
    ProxyInUse m_proxy;
    QPointer<InternetOptionsDialog> m_internetOptions;
};

} // namespace qz
