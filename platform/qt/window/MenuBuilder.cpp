#include "MenuBuilder.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "platform/qt/LiteralText.h"
#include "platform/qt/Utf16.h"

namespace qz {

MenuBuilder::MenuBuilder(QMainWindow& window, std::span<const MenuItem> tree, const PickHandler& pick) {
    for (const MenuItem& entry : tree) {
        if (entry.isTitle())
            addTitle(window, entry);
        else
            addItem(window, entry, pick);
    }
}

void MenuBuilder::addTitle(QMainWindow& window, const MenuItem& title) {
    const QString text = literalMenuText(toQString(title.caption));
    QMenu* menu = title.visible ? window.menuBar()->addMenu(text) : new QMenu(text, &window);
    menu->setObjectName(QString::fromUtf8(title.name.data(), static_cast<qsizetype>(title.name.size())));
    m_menus.emplace(std::string(title.name), menu);
}

void MenuBuilder::addItem(QMainWindow& window, const MenuItem& item, const PickHandler& pick) {
    QMenu* parent = menu(item.parent);
    if (!parent)
        return;
    QAction* action = parent->addAction(literalMenuText(toQString(item.caption)));
    action->setObjectName(QString::fromUtf8(item.name.data(), static_cast<qsizetype>(item.name.size())));
    action->setVisible(item.visible);
    if (!item.shortcut.empty()) {
        action->setShortcut(QKeySequence(
            QString::fromLatin1(item.shortcut.data(), static_cast<qsizetype>(item.shortcut.size())),
            QKeySequence::PortableText));
        action->setShortcutContext(Qt::WindowShortcut);
        // Held by the window as well as by its menu, so the key acts whether or not the bar shows it.
        window.addAction(action);
    }
    // Each action keeps its own copy of the handler: the actions live with the window, not with this.
    if (!item.isTitle())
        QObject::connect(action, &QAction::triggered, action, [pick, &item] { pick(item); });
    m_actions.emplace(std::string(item.name), action);
}

QMenu* MenuBuilder::menu(std::string_view title) const {
    const auto it = m_menus.find(title);
    return it == m_menus.end() ? nullptr : it->second;
}

QAction* MenuBuilder::action(std::string_view item) const {
    const auto it = m_actions.find(item);
    return it == m_actions.end() ? nullptr : it->second;
}

} // namespace qz
