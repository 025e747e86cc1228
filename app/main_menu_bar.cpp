#include "app/main_menu_bar.h"

namespace {

enum class ItemClass { Plain, Prefs, Quit };

struct ItemRow {
    const char* name;
    const char* text;
    // Null when the shortcut is never assigned (separators).
    const char* shortcut;
    ItemClass cls;
};

const ItemRow kFileItems[] = {
    {"FileNEW", "New", "Cmd+N", ItemClass::Plain},
    {"FileOpen", "Open...", "Cmd+O", ItemClass::Plain},
    {"FileClose", "Close", "Cmd+W", ItemClass::Plain},
    {"UntitledSeparator", "-", nullptr, ItemClass::Plain},
    {"FileSave", "Save C code", "Cmd+S", ItemClass::Plain},
    {"FileSaveBASIC", "Save BASIC code", "", ItemClass::Plain},
    {"UntitledSeparator0", "-", nullptr, ItemClass::Plain},
    {"FilePref", "Preferences", "Cmd+;", ItemClass::Prefs},
    {"UntitledSeparator1", "-", nullptr, ItemClass::Plain},
    {"FileQuit", "&Quit", "Cmd+Q", ItemClass::Quit},
};

const ItemRow kEditItems[] = {
    {"EditUndo", "&Undo", "Cmd+Z", ItemClass::Plain},
    {"EditSeparator1", "-", nullptr, ItemClass::Plain},
    {"EditCut", "Cu&t", "Cmd+X", ItemClass::Plain},
    {"EditCopy", "&Copy", "Cmd+C", ItemClass::Plain},
    {"EditPaste", "&Paste", "Cmd+V", ItemClass::Plain},
    {"EditClear", "&Delete", "", ItemClass::Plain},
    {"EditSeparator2", "-", nullptr, ItemClass::Plain},
    {"EditSelectAll", "Select &All", "Cmd+A", ItemClass::Plain},
};

gui::MenuItemPtr newItem(ItemClass cls)
{
    switch (cls) {
    case ItemClass::Prefs: return std::make_shared<gui::PrefsMenuItem>();
    case ItemClass::Quit: return std::make_shared<gui::QuitMenuItem>();
    case ItemClass::Plain: break;
    }
    return std::make_shared<gui::MenuItem>();
}

// Each entry is complete, properties and place, before the next one exists;
// the menu is found again by name for every item.
template <std::size_t N>
void buildMenu(gui::MenuBar& bar, const char* menuName, const char* menuText, const ItemRow (&items)[N])
{
    auto menu = std::make_shared<gui::MenuItem>();
    menu->setName(QString::fromLatin1(menuName));
    menu->setAutoEnable(true);
    menu->setText(QString::fromLatin1(menuText));
    menu->setVisible(true);
    menu->setKeyboardShortcut(QString());
    bar.Append(menu);

    for (const ItemRow& row : items) {
        gui::MenuItemPtr item = newItem(row.cls);
        item->setName(QString::fromLatin1(row.name));
        item->setAutoEnable(true);
        item->setText(QString::fromLatin1(row.text));
        item->setVisible(true);
        if (row.shortcut)
            item->setKeyboardShortcut(QString::fromLatin1(row.shortcut));
        bar.Child(QString::fromLatin1(menuName))->Append(item);
    }
}

}  // namespace

std::shared_ptr<MainMenuBar> MainMenuBar::_implicitInstance;

std::shared_ptr<MainMenuBar> MainMenuBar::shared()
{
    if (_implicitInstance)
        return _implicitInstance;
    auto bar = std::make_shared<MainMenuBar>();
    // Stored only now that it is whole: nobody ever receives a half-built bar.
    _implicitInstance = bar;
    return bar;
}

void MainMenuBar::release()
{
    std::shared_ptr<MainMenuBar> held = std::move(_implicitInstance);
    _implicitInstance = nullptr;
    held.reset();
}

MainMenuBar::MainMenuBar()
{
    Untitled0();
    Untitled1();
}

void MainMenuBar::Untitled0()
{
    buildMenu(*this, "FileMenu", "&File", kFileItems);
}

void MainMenuBar::Untitled1()
{
    buildMenu(*this, "EditMenu", "&Edit", kEditItems);
}
