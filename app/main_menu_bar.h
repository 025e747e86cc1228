#pragma once

#include "app/gui/menu.h"

#include <memory>

/// The application's one menu bar, File and Edit, shared by the application
/// object and every converter window.
class MainMenuBar : public gui::MenuBar {
public:
    /// The one bar, built on the first request; every later request returns the
    /// very same instance. (C++ allows no member named like its class, so this is
    /// `shared`.)
    static std::shared_ptr<MainMenuBar> shared();
    /// At shut-down: unsets the shared reference, then lets go of the bar. A
    /// later request builds a new one.
    static void release();

    /// An empty bar filled with the File and then the Edit menu. Use shared().
    MainMenuBar();

protected:
    /// Builds the File menu and appends it to the bar.
    virtual void Untitled0();
    /// Builds the Edit menu and appends it to the bar.
    virtual void Untitled1();

private:
    static std::shared_ptr<MainMenuBar> _implicitInstance;
};
