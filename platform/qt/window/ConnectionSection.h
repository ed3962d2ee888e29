#pragma once

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

class QWidget;

namespace qz {

struct ProxyInUse;

// The desktop's own panel for its proxy settings, as a program and its arguments.
struct ProxyPanel {
    QString program;
    QStringList arguments;
};

// The panel of the desktop the session names (XDG_CURRENT_DESKTOP) where it is installed, else the
// first of the others that is; nothing where none is. find gives a program's path, or empty.
std::optional<ProxyPanel> desktopProxyPanel(
    const QString& currentDesktop, const std::function<QString(const QString&)>& find);

// Internet options' 连接 section: the proxy the shell uses and where that came from, and
// 更改代理设置…, which opens the desktop's panel or says where the proxy is set. A change takes
// effect from the shell's next start, as the engine takes its proxy when it starts.
QWidget* connectionSection(const ProxyInUse& proxy, QWidget* dialog);

} // namespace qz
