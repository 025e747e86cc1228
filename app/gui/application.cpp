#include "app/gui/application.h"

#include "app/gui/menu.h"
#include "app/gui/menu_view.h"

#include <csignal>

namespace gui {

namespace {
Application* appObject = nullptr;
}

Application::Application()
{
    // By default the signal ends the process in the middle of the write, and a
    // file being written in place is left cut short.
    std::signal(SIGXFSZ, SIG_IGN);
}

Application::~Application()
{
    if (appObject == this)
        appObject = nullptr;
}

Application* Application::current()
{
    return appObject;
}

void Application::registerAsAppObject()
{
    appObject = this;
}

void Application::setMenuBar(std::shared_ptr<MenuBar> bar)
{
    menuBar_ = std::move(bar);
    globalView_.reset();
#ifdef Q_OS_MACOS
    // A menu bar without a parent is the one the platform shows while no window
    // of ours with a bar of its own is in front.
    if (menuBar_)
        globalView_ = std::make_unique<MenuBarView>(menuBar_, nullptr);
#endif
}

void Application::AddMenuHandler(const QString& itemName, std::function<bool()> handler)
{
    menuHandlers_[itemName] = std::move(handler);
    if (globalView_)
        globalView_->refreshEnabled();
}

bool Application::handleMenuCommand(const QString& itemName) const
{
    const auto found = menuHandlers_.find(itemName);
    return found != menuHandlers_.end() && found->second();
}

bool Application::hasMenuHandler(const QString& itemName) const
{
    return menuHandlers_.count(itemName) > 0;
}

}  // namespace gui
