#pragma once

#include "app/gui/controls.h"
#include "app/gui/window.h"

/// The settings window: shows the tool folders and lets the user choose the
/// conversion-script and compiler folders. At most one is open at a time.
class SetWin : public gui::Window {
public:
    /// The open settings window, or a new one (filled from the tool folders) when
    /// none is open. Does not show it: callers call Show.
    /// (C++ allows no member named like its class, so this is `shared`.)
    static SetWin* shared();

    /// Use SetWin::shared(), which keeps to one window.
    SetWin() = default;

    gui::PushButton* PushButton1() const;
    gui::Label* Label1() const;
    gui::PushButton* PushButton2() const;
    gui::PushButton* PushButton3() const;
    gui::Label* Label2() const;
    gui::Label* Label3() const;
    gui::Label* Label4() const;
    gui::Label* Label5() const;
    gui::TextField* twkEF() const;
    gui::TextField* ArmEF() const;
    gui::TextField* PytEF() const;

    /// Browse for the conversion-script folder; a confirmed choice is used and saved at once.
    void PushButton1_Action(gui::PushButton* button);
    /// Browse for the compiler folder; a confirmed choice is used and saved at once.
    void PushButton2_Action(gui::PushButton* button);
    void PushButton3_Open();
    /// The hidden Python row's button: refreshes the fields, chooses nothing.
    void PushButton3_Action(gui::PushButton* button);
    void Label3_Open();
    void PytEF_Open();
    /// File > Close: closes the window without asking; the command is handled.
    bool _FileClose_Action();
    /// Shows each tool folder that is set and exists in its path field.
    void SetFolders();

protected:
    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;
    void Event_Open() override;

private:
    void _CreateControls0();
};
