#pragma once

#include <QApplication>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace gui {

class MenuBar;
class MenuBarView;

/// Window edges to which a control keeps its distance when the window is resized.
enum Lock : unsigned { LockLeft = 1, LockTop = 2, LockRight = 4, LockBottom = 8 };

/// Buttons a window's title bar offers.
enum TitleBarButton : unsigned { CloseButton = 1, MinimizeButton = 2, MaximizeButton = 4, FullScreenButton = 8 };

/// A control's place in its window's content area, in pixels from the content's
/// top-left corner, at the content size that the window's Layout set.
struct Place {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    unsigned locks = LockLeft | LockTop;
};

/// Where a control stands when the content area has grown by (dx, dy) from its
/// layout size: locked to both edges of a direction it stretches, locked only to
/// the far edge it moves, otherwise it stays. Sizes never go below zero.
QRect placeAfterResize(const Place& place, int dx, int dy);

/// A document window. Building one runs its hooks Layout, CreateControls and
/// AddMenuHandlers, then the controls' Open events and the window's own. It
/// deletes itself when closed.
class Window : public QMainWindow {
public:
    /// Makes and builds a window of class W; Qt owns it until it is closed.
    template <class W, class... Args>
    static W* make(Args&&... args)
    {
        auto* window = new W(std::forward<Args>(args)...);
        window->build();
        return window;
    }

    /// The first window of class W that is built and not yet closed, or null.
    template <class W>
    static W* findOpen()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = dynamic_cast<W*>(widget);
            if (window && window->isOpen())
                return window;
        }
        return nullptr;
    }

    QString Title() const { return windowTitle(); }
    void setTitle(const QString& title) { setWindowTitle(title); }
    /// Makes the window visible, restores it when minimised (to normal or
    /// maximised, as it was), brings it to the front and activates it; returns at once.
    void Show();
    /// Closes and discards the window.
    void Close() { close(); }
    /// Whether the window has been built and not closed.
    bool isOpen() const { return built_ && !closed_; }

    /// Size of the content area, below any menu bar the window draws itself.
    void setSize(int width, int height);
    QSize contentSize() const;
    void setMinimumContentSize(int width, int height);
    void setMaximumContentSize(int width, int height);
    /// Gives the title bar its title and exactly these buttons (TitleBarButton
    /// values ORed); a button left out is not offered.
    void setTitleBarButtons(unsigned buttons);
    /// The area in which the controls stand.
    QWidget* content() const { return content_; }

    /// Installs the bar as this window's menu bar, shown in a view of its own
    /// above the content area, which keeps its size. Null removes it.
    void setMenuBar(std::shared_ptr<MenuBar> bar);
    /// The bar installed on this window, or null (it may still show the
    /// application's bar, see menuBarView).
    const std::shared_ptr<MenuBar>& installedMenuBar() const { return menuBar_; }
    /// The Qt menu bar drawn in this window, or null when it draws none.
    MenuBarView* menuBarView() const { return menuBarView_; }

    /// Registers a menu handler for a menu item's name on this window.
    void AddMenuHandler(const QString& itemName, std::function<bool()> handler);
    /// Runs this window's handler for the item; false when it has none or it declines.
    bool handleMenuCommand(const QString& itemName) const;
    bool hasMenuHandler(const QString& itemName) const;

    /// The control of that name and class. A missing name is a programming
    /// error and stops the program at once, naming the control.
    template <class T>
    T* _ControlByName(const QString& name) const
    {
        T* control = content_->findChild<T*>(name, Qt::FindDirectChildrenOnly);
        if (!control)
            qFatal("Window \"%s\" has no control \"%s\" of the asked class",
                   qPrintable(objectName()), qPrintable(name));
        return control;
    }

protected:
    Window();
    ~Window() override;

    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void AddMenuHandlers() {}
    virtual void Event_Open() {}

    /// Makes a control of class T in the content area; the window owns it.
    template <class T>
    T* newControl()
    {
        return new T(content_);
    }
    /// Adds a new control to the window under its name.
    void _AddControl(QWidget* control, const QString& name);
    /// Puts a control at its place and its keyboard position (ascending tabIndex).
    void placeControl(QWidget* control, const Place& place, int tabIndex);
    /// Runs the handler once, after all controls are built (a control's Open event).
    void bindOpen(std::function<void()> handler);

    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void showMenuBar(std::shared_ptr<MenuBar> bar);
    void fitToContent(const QSize& contentSize);
    void applyTabOrder();
    void applyLocks();

    struct PlacedControl {
        QPointer<QWidget> control;
        Place place;
        int tabIndex;
    };

    QWidget* content_;
    QSize layoutSize_;
    std::vector<PlacedControl> placed_;
    std::vector<std::function<void()>> openHandlers_;
    std::map<QString, std::function<bool()>> menuHandlers_;
    std::shared_ptr<MenuBar> menuBar_;
    MenuBarView* menuBarView_ = nullptr;
    bool built_ = false;
    bool closed_ = false;

    friend class ContentArea;
};

/// Deletes every window that is still there, closed or not. Popups (a combo
/// box's list, a menu) are top-level widgets too, but belong to their control
/// and go with it.
void discardOpenWindows();

}  // namespace gui
