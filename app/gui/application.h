#pragma once

#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace gui {

class MenuBar;
class MenuBarView;

/// The application object: receives the application's Open event and the
/// menu commands that no front window handles.
class Application {
public:
    /// Also lets a file-size limit (ulimit -f) fail a write, to be told and
    /// undone, instead of ending the process.
    Application();
    virtual ~Application();

    /// The registered application object, or null.
    static Application* current();
    /// Makes this object the application object (it must outlive the event loop).
    void registerAsAppObject();

    /// Installs the application's menu bar: on macOS the global bar, elsewhere
    /// the bar shown by windows that install none of their own. Null removes it.
    void setMenuBar(std::shared_ptr<MenuBar> bar);
    /// The bar installed on the application, or null.
    const std::shared_ptr<MenuBar>& installedMenuBar() const { return menuBar_; }

    /// Registers an application-wide menu handler for a menu item's name.
    void AddMenuHandler(const QString& itemName, std::function<bool()> handler);
    /// Runs the handler for the item; false when there is none or it declines.
    bool handleMenuCommand(const QString& itemName) const;
    bool hasMenuHandler(const QString& itemName) const;

    /// Raised once, when the event loop is about to start.
    virtual void Event_Open() {}

private:
    std::map<QString, std::function<bool()>> menuHandlers_;
    std::shared_ptr<MenuBar> menuBar_;
    std::unique_ptr<MenuBarView> globalView_;
};

}  // namespace gui
