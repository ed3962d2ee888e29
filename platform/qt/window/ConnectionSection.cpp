#include "ConnectionSection.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "platform/qt/page/ProxyText.h"

namespace qz {

namespace {
struct PanelCandidate {
    const char* desktop; // as XDG_CURRENT_DESKTOP names it, lower case
    const char* program;
    const char* arguments[2];
};

// Each desktop's proxy panel; Plasma 6's first, then Plasma 5's.
constexpr PanelCandidate kPanels[] = {
    { "kde", "kcmshell6", { "kcm_proxy", nullptr } },
    { "kde", "systemsettings", { "kcm_proxy", nullptr } },
    { "kde", "kcmshell5", { "proxy", nullptr } },
    { "ukui", "ukui-control-center", { "-m", "Proxy" } },
    { "x-cinnamon", "cinnamon-settings", { "network", nullptr } },
    { "gnome", "gnome-control-center", { "network", nullptr } },
};

std::optional<ProxyPanel> panelOf(
    const PanelCandidate& candidate, const std::function<QString(const QString&)>& find) {
    const QString path = find(QString::fromLatin1(candidate.program));
    if (path.isEmpty())
        return std::nullopt;
    ProxyPanel panel { path, {} };
    for (const char* argument : candidate.arguments)
        if (argument)
            panel.arguments.append(QString::fromLatin1(argument));
    return panel;
}

void openPanel(QWidget* dialog) {
    const std::optional<ProxyPanel> panel = desktopProxyPanel(qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
        [](const QString& name) { return QStandardPaths::findExecutable(name); });
    if (panel && QProcess::startDetached(panel->program, panel->arguments))
        return;
    QMessageBox box(QMessageBox::Information, QStringLiteral("更改代理设置"),
        QStringLiteral(
            "没有找到桌面的代理设置程序。\n请在桌面的系统设置中（通常在“网络”下）设置代理，或在启动 QZ "
            "之前设置环境变量 http_proxy、https_proxy 和 no_proxy。\n更改在下次启动 QZ 时生效。"),
        QMessageBox::Ok, dialog);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

QLabel* selectable(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}
} // namespace

std::optional<ProxyPanel> desktopProxyPanel(
    const QString& currentDesktop, const std::function<QString(const QString&)>& find) {
    const QStringList current = currentDesktop.toLower().split(u':', Qt::SkipEmptyParts);
    for (const PanelCandidate& candidate : kPanels)
        if (current.contains(QString::fromLatin1(candidate.desktop)))
            if (std::optional<ProxyPanel> panel = panelOf(candidate, find))
                return panel;
    for (const PanelCandidate& candidate : kPanels)
        if (std::optional<ProxyPanel> panel = panelOf(candidate, find))
            return panel;
    return std::nullopt;
}

QWidget* connectionSection(const ProxyInUse& proxy, QWidget* dialog) {
    auto* group = new QGroupBox(QStringLiteral("连接"));
    auto* column = new QVBoxLayout(group);
    auto* form = new QFormLayout;
    QLabel* server = selectable(proxyText(proxy));
    server->setObjectName(QStringLiteral("proxyServer"));
    QLabel* source = selectable(proxySourceText(proxy));
    source->setObjectName(QStringLiteral("proxySource"));
    form->addRow(QStringLiteral("代理服务器："), server);
    form->addRow(QStringLiteral("设置来源："), source);
    column->addLayout(form);
    column->addWidget(new QLabel(QStringLiteral("更改代理设置后，需重新启动 QZ 才能生效。")));
    auto* change = new QPushButton(QStringLiteral("更改代理设置(&P)…"));
    change->setObjectName(QStringLiteral("changeProxy"));
    change->setAutoDefault(false);
    QObject::connect(change, &QPushButton::clicked, dialog, [dialog] { openPanel(dialog); });
    auto* row = new QHBoxLayout;
    row->addWidget(change);
    row->addStretch();
    column->addLayout(row);
    return group;
}

} // namespace qz
