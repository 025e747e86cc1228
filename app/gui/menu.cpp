#include "app/gui/menu.h"

#include <QApplication>

namespace gui {

void MenuItem::Append(MenuItemPtr item)
{
    if (item)
        children_.push_back(std::move(item));
}

MenuItemPtr MenuItem::Child(const QString& name) const
{
    for (const MenuItemPtr& child : children_) {
        if (child->Name() == name)
            return child;
    }
    return nullptr;
}

MenuItemPtr MenuItem::_Lookup(const QString& name) const
{
    for (const MenuItemPtr& child : children_) {
        if (child->Name() == name)
            return child;
        if (MenuItemPtr below = child->_Lookup(name))
            return below;
    }
    return nullptr;
}

bool QuitMenuItem::runOwnAction()
{
    // Windows close first so that each one goes through its own closing; the
    // loop ends after them.
    QApplication::closeAllWindows();
    QApplication::quit();
    return true;
}

QString portableShortcut(const QString& shortcutText)
{
    static const QString command = QStringLiteral("Cmd+");
    QString text = shortcutText;
    if (text.startsWith(command, Qt::CaseInsensitive))
        text.replace(0, command.size(), QStringLiteral("Ctrl+"));
    return text;
}

}  // namespace gui
