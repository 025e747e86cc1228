#include "app/gui/menu_dispatch.h"

#include "app/gui/application.h"
#include "app/gui/menu.h"
#include "app/gui/window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace gui {

namespace {

// The Edit entries that the library carries out by itself in a text control,
// known by their item names.
enum class EditCommand { None, Undo, Cut, Copy, Paste, Clear, SelectAll };

EditCommand editCommandFor(const QString& name)
{
    static const std::pair<const char*, EditCommand> names[] = {
        {"EditUndo", EditCommand::Undo},   {"EditCut", EditCommand::Cut},
        {"EditCopy", EditCommand::Copy},   {"EditPaste", EditCommand::Paste},
        {"EditClear", EditCommand::Clear}, {"EditSelectAll", EditCommand::SelectAll},
    };
    for (const auto& [text, command] : names) {
        if (name == QLatin1String(text))
            return command;
    }
    return EditCommand::None;
}

// The text control with the keyboard focus: one of these two, or neither.
struct FocusedText {
    QLineEdit* line = nullptr;
    QPlainTextEdit* plain = nullptr;
};

FocusedText focusedText()
{
    QWidget* focus = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->isEditable())
        return {combo->lineEdit(), nullptr};
    return {qobject_cast<QLineEdit*>(focus), qobject_cast<QPlainTextEdit*>(focus)};
}

bool canRun(EditCommand command, const FocusedText& text)
{
    bool editable = false;
    bool selection = false;
    bool undo = false;
    bool empty = true;
    if (text.line) {
        editable = !text.line->isReadOnly();
        selection = text.line->hasSelectedText();
        undo = text.line->isUndoAvailable();
        empty = text.line->text().isEmpty();
    } else if (text.plain) {
        editable = !text.plain->isReadOnly();
        selection = text.plain->textCursor().hasSelection();
        undo = text.plain->document()->isUndoAvailable();
        empty = text.plain->document()->isEmpty();
    } else {
        return false;
    }
    switch (command) {
    case EditCommand::Undo: return editable && undo;
    case EditCommand::Cut:
    case EditCommand::Clear: return editable && selection;
    case EditCommand::Copy: return selection;
    case EditCommand::Paste: return editable && !QApplication::clipboard()->text().isEmpty();
    case EditCommand::SelectAll: return !empty;
    case EditCommand::None: break;
    }
    return false;
}

void run(EditCommand command, const FocusedText& text)
{
    if (QLineEdit* line = text.line) {
        switch (command) {
        case EditCommand::Undo: line->undo(); break;
        case EditCommand::Cut: line->cut(); break;
        case EditCommand::Copy: line->copy(); break;
        case EditCommand::Paste: line->paste(); break;
        case EditCommand::Clear: line->del(); break;
        case EditCommand::SelectAll: line->selectAll(); break;
        case EditCommand::None: break;
        }
    } else if (QPlainTextEdit* plain = text.plain) {
        switch (command) {
        case EditCommand::Undo: plain->undo(); break;
        case EditCommand::Cut: plain->cut(); break;
        case EditCommand::Copy: plain->copy(); break;
        case EditCommand::Paste: plain->paste(); break;
        case EditCommand::Clear: plain->textCursor().removeSelectedText(); break;
        case EditCommand::SelectAll: plain->selectAll(); break;
        case EditCommand::None: break;
        }
    }
}

}  // namespace

Window* frontWindow()
{
    return dynamic_cast<Window*>(QApplication::activeWindow());
}

bool dispatchMenuCommand(MenuItem& item, Window* front)
{
    const QString& name = item.Name();
    // A handler that declines passes the command on, as if it had none.
    if (front && front->handleMenuCommand(name))
        return true;
    Application* app = Application::current();
    if (app && app->handleMenuCommand(name))
        return true;
    if (item.hasOwnAction())
        return item.runOwnAction();
    const EditCommand command = editCommandFor(name);
    const FocusedText text = focusedText();
    if (!canRun(command, text))
        return false;
    run(command, text);
    return true;
}

bool dispatchMenuCommand(MenuItem& item)
{
    return dispatchMenuCommand(item, frontWindow());
}

bool menuCommandEnabled(const MenuItem& item, const Window* front)
{
    if (item.isSeparator())
        return false;
    if (!item.AutoEnable() || !item.children().empty())
        return true;
    const QString& name = item.Name();
    if (front && front->hasMenuHandler(name))
        return true;
    const Application* app = Application::current();
    if (app && app->hasMenuHandler(name))
        return true;
    return item.hasOwnAction() || canRun(editCommandFor(name), focusedText());
}

}  // namespace gui
