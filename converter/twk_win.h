#pragma once

#include "app/gui/controls.h"
#include "app/gui/folder_item.h"
#include "app/gui/menu.h"
#include "app/gui/text_area.h"
#include "app/gui/window.h"

/// The converter window: one C routine, its five conversion options, the BASIC
/// text made from it and the log of the commands. One window per document.
class TWKWin : public gui::Window {
public:
    /// Use gui::Window::make<TWKWin>(), which builds the window.
    TWKWin();
    ~TWKWin() override;

    /// The C file the window is bound to; unset until opened or saved.
    gui::FolderItemPtr mCFile;
    /// The BASIC file the window is bound to; unset until saved.
    gui::FolderItemPtr mBFile;

    // Control accessors, each the window's control of its name.
    gui::Label* Label1() const;
    gui::Label* Label2() const;
    gui::Label* Label3() const;
    gui::Label* Label4() const;
    gui::Label* Label5() const;
    gui::TextField* aOpt() const;
    gui::PopupMenu* oOpt() const;
    gui::ComboBox* sOpt() const;
    gui::ComboBox* dOpt() const;
    gui::ComboBox* cOpt() const;
    gui::PushButton* PushButton1() const;
    gui::TextArea* cEF() const;
    gui::TextArea* bEF() const;
    gui::TextArea* rEF() const;
    gui::BevelButton* NewBB() const;
    gui::BevelButton* OpenBB() const;
    gui::BevelButton* SaveBB() const;
    gui::CheckBox* CSaveCB() const;
    gui::CheckBox* BSaveCB() const;
    gui::BevelButton* SaveBB1() const;

    // Menu-item accessors, each the entry of its name on the window's menu bar.
    gui::MenuItemPtr EditMenu() const;
    gui::MenuItemPtr EditSelectAll() const;
    gui::MenuItemPtr EditSeparator2() const;
    gui::MenuItemPtr EditClear() const;
    gui::MenuItemPtr EditPaste() const;
    gui::MenuItemPtr EditCopy() const;
    gui::MenuItemPtr EditCut() const;
    gui::MenuItemPtr EditSeparator1() const;
    gui::MenuItemPtr EditUndo() const;
    gui::MenuItemPtr FileMenu() const;
    std::shared_ptr<gui::QuitMenuItem> FileQuit() const;
    gui::MenuItemPtr UntitledSeparator1() const;
    std::shared_ptr<gui::PrefsMenuItem> FilePref() const;
    gui::MenuItemPtr UntitledSeparator0() const;
    gui::MenuItemPtr FileSaveBASIC() const;
    gui::MenuItemPtr FileSave() const;
    gui::MenuItemPtr UntitledSeparator() const;
    gui::MenuItemPtr FileClose() const;
    gui::MenuItemPtr FileOpen() const;
    gui::MenuItemPtr FileNEW() const;

    /// Convert: compiles the C text, extracts its machine code and has the
    /// conversion script turn it into BASIC, logging each command line.
    void PushButton1_Action(gui::PushButton* button);
    /// New: one more window with the sample routine.
    void NewBB_Action(gui::BevelButton* button);
    /// Open: a C file, chosen in the open dialog, in a new window.
    void OpenBB_Action(gui::BevelButton* button);
    /// Save: the C and/or BASIC text, as the two check boxes say.
    void SaveBB_Action(gui::BevelButton* button);
    /// Preferences: shows the settings window.
    void SaveBB1_Action(gui::BevelButton* button);

    /// Writes the C text to the window's C file: the bound one, else the BASIC
    /// file's companion (unless that is the BASIC file itself), else one chosen
    /// in the save dialog. A file that cannot be written is reported by a
    /// warning and leaves the binding as it was.
    void SaveTWK();
    /// Writes the BASIC text to the window's BASIC file, as SaveTWK does the C text.
    void SaveBASIC();
    /// Names the window after the stem of its C file, else of its BASIC file.
    void SetTitle();

    /// File > Close: closes the window without asking; the command is handled.
    bool _FileClose_Action();

protected:
    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;

private:
    void _CreateControls0();
    /// The entry of that name on the window's bar as class T; null when the
    /// bar has no such entry or it is of another class.
    template <class T = gui::MenuItem>
    std::shared_ptr<T> menuEntry(const char* name) const;
};
