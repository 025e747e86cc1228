#pragma once

class QWidget;

namespace gui {

class MenuItem;
class Window;

/// The front window: the active window when it is one of ours, else null.
Window* frontWindow();

/// Runs a menu command: the front window's handler for the entry's Name, else
/// the application's, else the library's own action (Quit; the Edit commands in
/// the text control that has the focus). False when nothing took it.
bool dispatchMenuCommand(MenuItem& item, Window* front);
/// The same, with the front window of frontWindow().
bool dispatchMenuCommand(MenuItem& item);

/// Whether dispatching the entry now would act: a handler on the front window
/// or the application, an action of its own, or an Edit command that the
/// focused text control can carry out. Menus and entries without AutoEnable
/// are always enabled; separators never are.
bool menuCommandEnabled(const MenuItem& item, const Window* front);

}  // namespace gui
