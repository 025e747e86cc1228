#include "app/gui/application.h"

namespace gui {

namespace {
Application* appObject = nullptr;
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

void Application::AddMenuHandler(const QString& itemName, std::function<bool()> handler)
{
    menuHandlers_[itemName] = std::move(handler);
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
