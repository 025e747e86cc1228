#pragma once

#include "app/gui/controls.h"
#include "app/gui/folder_item.h"
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

    /// Writes the C text to the window's C file (asking for one the first time).
    void SaveTWK();
    /// Writes the BASIC text to the window's BASIC file (asking for one the first time).
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
};
