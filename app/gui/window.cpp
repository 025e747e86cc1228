#include "app/gui/window.h"

#include "app/gui/application.h"
#include "app/gui/menu.h"
#include "app/gui/menu_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPointer>
#include <QResizeEvent>

#include <algorithm>

namespace gui {

/// The content area: re-places the controls whenever its size changes, so that
/// they follow the window while the user drags its edge.
class ContentArea : public QWidget {
public:
    explicit ContentArea(Window* window) : QWidget(window), window_(window) {}

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        window_->applyLocks();
    }

private:
    Window* window_;
};

namespace {

/// Height of the menu bar that the window draws above its content; none when
/// the platform shows the menu bar elsewhere.
int drawnMenuHeight(const QMainWindow* window)
{
    const QWidget* menu = window->menuWidget();
    const auto* bar = qobject_cast<const QMenuBar*>(menu);
    const bool drawn = bar ? !bar->isNativeMenuBar() && !bar->isHidden() : menu && !menu->isHidden();
    return drawn ? menu->sizeHint().height() : 0;
}

/// Gives the window the content's size limits plus its menu bar, so that the
/// window itself can be dragged neither smaller than the content's minimum
/// nor past its maximum, where the content would overflow or leave a strip.
void limitToContent(QMainWindow* window, const QWidget* content)
{
    const int menuHeight = drawnMenuHeight(window);
    const QSize min = content->minimumSize();
    const QSize max = content->maximumSize();
    window->setMinimumSize(min.width(), std::min(min.height() + menuHeight, QWIDGETSIZE_MAX));
    window->setMaximumSize(max.width(), std::min(max.height() + menuHeight, QWIDGETSIZE_MAX));
}

}  // namespace

QRect placeAfterResize(const Place& place, int dx, int dy)
{
    auto follow = [](int start, int size, int delta, bool nearLocked, bool farLocked) {
        if (nearLocked && farLocked)
            return std::pair{start, std::max(0, size + delta)};
        if (farLocked)
            return std::pair{start + delta, size};
        return std::pair{start, size};
    };
    const auto [left, width] = follow(place.left, place.width, dx, place.locks & LockLeft, place.locks & LockRight);
    const auto [top, height] = follow(place.top, place.height, dy, place.locks & LockTop, place.locks & LockBottom);
    return {left, top, width, height};
}

Window::Window() : content_(new ContentArea(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(content_);
}

Window::~Window()
{
    // The view goes first: it reads this window's handlers whenever the focus
    // moves, and the controls' destruction moves it.
    delete menuBarView_;
}

void Window::build()
{
    Layout();
#ifndef Q_OS_MACOS
    // Without a global menu bar, a window with no bar of its own shows the
    // application's, so its commands stay within reach.
    if (!menuBar_) {
        if (const Application* app = Application::current(); app && app->installedMenuBar())
            showMenuBar(app->installedMenuBar());
    }
#endif
    CreateControls();
    applyTabOrder();
    AddMenuHandlers();
    if (menuBarView_)
        menuBarView_->refreshEnabled();
    built_ = true;
    for (const auto& handler : openHandlers_)
        handler();
    Event_Open();
}

void Window::Show()
{
    // show() and raise() leave a minimised window minimised. Dropping only that
    // state brings it back as it was before, normal or maximised.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void Window::setSize(int width, int height)
{
    layoutSize_ = QSize(width, height);
    fitToContent(layoutSize_);
}

void Window::fitToContent(const QSize& contentSize)
{
    const int menuHeight = drawnMenuHeight(this);
    content_->resize(contentSize);
    limitToContent(this, content_);
    resize(contentSize.width(), contentSize.height() + menuHeight);
}

void Window::setMenuBar(std::shared_ptr<MenuBar> bar)
{
    menuBar_ = bar;
    showMenuBar(std::move(bar));
}

void Window::showMenuBar(std::shared_ptr<MenuBar> bar)
{
    const QSize keep = content_->size();
    delete menuBarView_;
    menuBarView_ = bar ? new MenuBarView(std::move(bar), this) : nullptr;
    if (menuBarView_)
        QMainWindow::setMenuBar(menuBarView_);
    if (layoutSize_.isValid())
        fitToContent(keep);
}

void Window::setTitleBarButtons(unsigned buttons)
{
    // Qt's default flags carry the full-screen button, and on macOS a window
    // without CustomizeWindowHint gets every button whatever its other flags say,
    // so the flags are given whole.
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    flags.setFlag(Qt::WindowCloseButtonHint, buttons & CloseButton);
    flags.setFlag(Qt::WindowMinimizeButtonHint, buttons & MinimizeButton);
    flags.setFlag(Qt::WindowMaximizeButtonHint, buttons & MaximizeButton);
    flags.setFlag(Qt::WindowFullscreenButtonHint, buttons & FullScreenButton);
    setWindowFlags(flags);
}

QSize Window::contentSize() const
{
    return content_->size();
}

void Window::setMinimumContentSize(int width, int height)
{
    content_->setMinimumSize(width, height);
    limitToContent(this, content_);
}

void Window::setMaximumContentSize(int width, int height)
{
    content_->setMaximumSize(width, height);
    limitToContent(this, content_);
}

void Window::AddMenuHandler(const QString& itemName, std::function<bool()> handler)
{
    menuHandlers_[itemName] = std::move(handler);
}

bool Window::handleMenuCommand(const QString& itemName) const
{
    const auto found = menuHandlers_.find(itemName);
    return found != menuHandlers_.end() && found->second();
}

bool Window::hasMenuHandler(const QString& itemName) const
{
    return menuHandlers_.count(itemName) > 0;
}

void Window::_AddControl(QWidget* control, const QString& name)
{
    control->setParent(content_);
    control->setObjectName(name);
}

void Window::placeControl(QWidget* control, const Place& place, int tabIndex)
{
    placed_.push_back({control, place, tabIndex});
    const QSize grown = content_->size() - (layoutSize_.isValid() ? layoutSize_ : content_->size());
    control->setGeometry(placeAfterResize(place, grown.width(), grown.height()));
}

void Window::bindOpen(std::function<void()> handler)
{
    openHandlers_.push_back(std::move(handler));
}

void Window::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        closed_ = true;
}

void Window::applyTabOrder()
{
    std::vector<PlacedControl> order = placed_;
    std::stable_sort(order.begin(), order.end(),
                     [](const PlacedControl& a, const PlacedControl& b) { return a.tabIndex < b.tabIndex; });
    QWidget* previous = nullptr;
    for (const PlacedControl& entry : order) {
        if (!entry.control || entry.control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, entry.control);
        previous = entry.control;
    }
}

void Window::applyLocks()
{
    if (!layoutSize_.isValid())
        return;
    const QSize grown = content_->size() - layoutSize_;
    for (const PlacedControl& entry : placed_) {
        if (entry.control)
            entry.control->setGeometry(placeAfterResize(entry.place, grown.width(), grown.height()));
    }
}

void discardOpenWindows()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->parentWidget())
            windows.append(window);
    }
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
}

}  // namespace gui
