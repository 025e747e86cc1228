#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace gui {

class MenuItem;
/// Entries are shared: one bar can be installed on the application and on any
/// number of windows at once.
using MenuItemPtr = std::shared_ptr<MenuItem>;

/// A menu entry: a menu, a command or a separator (Text "-"). It holds no
/// behaviour; a command reaches the system through the menu handler registered
/// for its Name on the front window or on the application.
class MenuItem {
public:
    /// The platform entry an item stands for, beyond a plain command.
    enum class Kind { Plain, Preferences, Quit };

    MenuItem() = default;
    virtual ~MenuItem() = default;
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    /// The key by which handlers and lookups find the entry.
    const QString& Name() const { return name_; }
    void setName(const QString& name) { name_ = name; }
    /// The caption; "&" marks the mnemonic letter and "-" makes a separator.
    const QString& Text() const { return text_; }
    void setText(const QString& text) { text_ = text; }
    /// Shortcut text such as "Cmd+N"; empty means none. Unset until assigned.
    const std::optional<QString>& KeyboardShortcut() const { return shortcut_; }
    void setKeyboardShortcut(const QString& shortcut) { shortcut_ = shortcut; }
    /// Whether the library decides the enabled state (otherwise it stays enabled).
    bool AutoEnable() const { return autoEnable_; }
    void setAutoEnable(bool on) { autoEnable_ = on; }
    bool Visible() const { return visible_; }
    void setVisible(bool on) { visible_ = on; }

    bool isSeparator() const { return text_ == QLatin1String("-"); }
    virtual Kind kind() const { return Kind::Plain; }
    /// The library's own action for this kind of entry, run when no handler
    /// takes the command; false when the kind has none.
    virtual bool runOwnAction() { return false; }
    /// Whether the kind brings an action of its own (runOwnAction acts).
    virtual bool hasOwnAction() const { return false; }

    /// Adds the entry as the last child; a null entry is ignored.
    void Append(MenuItemPtr item);
    /// The direct child of that name, or null.
    MenuItemPtr Child(const QString& name) const;
    /// The entry of that name anywhere below this one (depth first), or null.
    MenuItemPtr _Lookup(const QString& name) const;
    const std::vector<MenuItemPtr>& children() const { return children_; }

private:
    QString name_;
    QString text_;
    std::optional<QString> shortcut_;
    bool autoEnable_ = false;
    bool visible_ = true;
    std::vector<MenuItemPtr> children_;
};

/// The entry installed as a window's or the application's menu bar; its
/// children are shown as the bar's menus.
class MenuBar : public MenuItem {};

/// The platform's preferences entry (on macOS, in the application menu).
class PrefsMenuItem : public MenuItem {
public:
    Kind kind() const override { return Kind::Preferences; }
};

/// The platform's quit entry (on macOS, in the application menu). Its own
/// action closes every window and then ends the event loop.
class QuitMenuItem : public MenuItem {
public:
    Kind kind() const override { return Kind::Quit; }
    bool runOwnAction() override;
    bool hasOwnAction() const override { return true; }
};

/// The platform's key sequence text for a shortcut text: "Cmd+" becomes the
/// command key ("Ctrl+" to Qt, which is Cmd on macOS). Empty stays empty.
QString portableShortcut(const QString& shortcutText);

}  // namespace gui
