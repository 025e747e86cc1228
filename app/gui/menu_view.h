#pragma once

#include <QMenuBar>
#include <QPointer>

#include <memory>
#include <vector>

namespace gui {

class MenuBar;
class MenuItem;

/// The Qt menu bar that shows a menu-bar model in one window (Qt widgets cannot
/// be shared, so every window gets its own view of the one model), or, without
/// a parent, the application's global bar where the platform has one. Choosing
/// an entry dispatches its command; the entries' enabled state is recomputed
/// whenever a menu opens and whenever the focus moves.
class MenuBarView : public QMenuBar {
public:
    /// Builds the menus and actions of the model's children, in order.
    MenuBarView(std::shared_ptr<MenuBar> model, QWidget* parent);

    const std::shared_ptr<MenuBar>& model() const { return model_; }
    /// The action shown for the entry of that name (a menu's own action for a
    /// menu), or null when the model has no such entry.
    QAction* actionFor(const QString& name) const;
    /// Enables each auto-enabled entry exactly when something would act on it.
    void refreshEnabled();

private:
    struct Entry {
        std::shared_ptr<MenuItem> item;
        // Menus are top-level widgets of their own and can be deleted apart
        // from the bar (with their actions), for instance at shut-down.
        QPointer<QAction> action;
    };

    void addEntries(QMenu* menu, const MenuItem& parent);
    void addEntry(QAction* action, const std::shared_ptr<MenuItem>& item);

    std::shared_ptr<MenuBar> model_;
    std::vector<Entry> entries_;
};

}  // namespace gui
