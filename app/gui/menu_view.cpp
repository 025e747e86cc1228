#include "app/gui/menu_view.h"

#include "app/gui/menu.h"
#include "app/gui/menu_dispatch.h"
#include "app/gui/window.h"

#include <QApplication>
#include <QKeySequence>
#include <QMenu>

namespace gui {

namespace {

QAction::MenuRole roleFor(MenuItem::Kind kind)
{
    switch (kind) {
    case MenuItem::Kind::Preferences: return QAction::PreferencesRole;
    case MenuItem::Kind::Quit: return QAction::QuitRole;
    case MenuItem::Kind::Plain: break;
    }
    // Plain entries stay where they are: no guessing from their texts.
    return QAction::NoRole;
}

}  // namespace

MenuBarView::MenuBarView(std::shared_ptr<MenuBar> model, QWidget* parent)
    : QMenuBar(parent), model_(std::move(model))
{
    if (model_) {
        for (const MenuItemPtr& child : model_->children()) {
            QMenu* menu = addMenu(child->Text());
            addEntry(menu->menuAction(), child);
            addEntries(menu, *child);
        }
    }
    connect(qApp, &QApplication::focusChanged, this, &MenuBarView::refreshEnabled);
    refreshEnabled();
}

QAction* MenuBarView::actionFor(const QString& name) const
{
    for (const Entry& entry : entries_) {
        if (entry.item->Name() == name)
            return entry.action.data();
    }
    return nullptr;
}

void MenuBarView::refreshEnabled()
{
    // A window's own bar can only be used while that window is in front.
    auto* host = dynamic_cast<Window*>(window());
    const Window* front = host ? host : frontWindow();
    for (const Entry& entry : entries_) {
        if (entry.action)
            entry.action->setEnabled(menuCommandEnabled(*entry.item, front));
    }
}

void MenuBarView::addEntries(QMenu* menu, const MenuItem& parent)
{
    connect(menu, &QMenu::aboutToShow, this, &MenuBarView::refreshEnabled);
    for (const MenuItemPtr& child : parent.children()) {
        if (!child->children().empty()) {
            QMenu* submenu = menu->addMenu(child->Text());
            addEntry(submenu->menuAction(), child);
            addEntries(submenu, *child);
        } else if (child->isSeparator()) {
            addEntry(menu->addSeparator(), child);
        } else {
            QAction* action = menu->addAction(child->Text());
            action->setShortcut(QKeySequence(portableShortcut(child->KeyboardShortcut().value_or(QString())),
                                             QKeySequence::PortableText));
            action->setMenuRole(roleFor(child->kind()));
            addEntry(action, child);
            connect(action, &QAction::triggered, this, [this, item = child] {
                auto* host = dynamic_cast<Window*>(window());
                dispatchMenuCommand(*item, host ? host : frontWindow());
            });
        }
    }
}

void MenuBarView::addEntry(QAction* action, const std::shared_ptr<MenuItem>& item)
{
    action->setObjectName(item->Name());
    action->setVisible(item->Visible());
    entries_.push_back({item, action});
}

}  // namespace gui
