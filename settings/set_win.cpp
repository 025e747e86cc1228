#include "settings/set_win.h"

#include "app/gui/dialogs.h"
#include "app/gui/standard_folders.h"
#include "settings/settings_file.h"
#include "settings/tool_folders.h"

#include <QStringList>

namespace {

enum class ControlClass { PushButton, Label, TextField };

struct ControlRow {
    const char* name;
    ControlClass cls;
    gui::Place place;
};

// In the order they are made, which is also their keyboard order. Every control
// keeps to the left and top edges.
const ControlRow kControls[] = {
    {"PushButton1", ControlClass::PushButton, {180, 38, 45, 20}},
    {"Label1", ControlClass::Label, {0, 38, 170, 20}},
    {"PushButton2", ControlClass::PushButton, {180, 109, 45, 20}},
    {"PushButton3", ControlClass::PushButton, {180, 141, 45, 20}},
    {"Label2", ControlClass::Label, {0, 109, 170, 20}},
    {"Label3", ControlClass::Label, {0, 141, 170, 20}},
    {"Label4", ControlClass::Label, {12, 77, 254, 20}},
    {"Label5", ControlClass::Label, {12, 14, 254, 20}},
    {"twkEF", ControlClass::TextField, {237, 38, 343, 22}},
    {"ArmEF", ControlClass::TextField, {237, 109, 343, 22}},
    {"PytEF", ControlClass::TextField, {237, 141, 343, 22}},
};

/// One browse row: what its chooser says and where it starts.
struct FolderRow {
    QString title;
    QString prompt;
    gui::FolderItemPtr (*defaultStart)();
};

/// Keeps the tool folders in the settings file, and tells the user which
/// folder will be missing at the next start: the one just chosen when the file
/// cannot be written, else each one that the file had to leave out.
void keepFolders()
{
    const Module1::SettingWritten written = Module1::WriteSetting();
    const QString file = Module1::gSettingFile ? Module1::gSettingFile->path() : QString();
    if (!written.whyNotWritten.isEmpty()) {
        gui::ShowWarning(
            QStringLiteral("The folder is used until you quit, but it could not be kept in \"%1\" for the next start.")
                .arg(file),
            written.whyNotWritten);
        return;
    }
    if (written.leftOut.empty())
        return;
    QStringList missing;
    for (const Module1::FolderLeftOut& left : written.leftOut)
        missing << QStringLiteral("The %1 \"%2\" is used until you quit, but it will be missing at the next start.")
                       .arg(left.role, left.folder->path());
    gui::ShowWarning(
        missing.join(u'\n'),
        QStringLiteral("A folder whose path holds a line break or \"=>\" cannot be kept in \"%1\".").arg(file));
}

gui::FolderItemPtr chooseFolder(const gui::FolderItemPtr& current, const FolderRow& row)
{
    gui::SelectFolderDialog chooser;
    chooser.ActionButtonCaption = QStringLiteral("Select");
    chooser.Title = row.title;
    chooser.PromptText = row.prompt;
    gui::FolderItemPtr start = current && current->Exists() ? current : row.defaultStart();
    if (start && start->Exists())
        chooser.InitialDirectory = start;
    return chooser.ShowModal();
}

}  // namespace

SetWin* SetWin::shared()
{
    if (auto* open = gui::Window::findOpen<SetWin>())
        return open;
    return gui::Window::make<SetWin>();
}

void SetWin::Layout()
{
    setTitle(QStringLiteral("Preferences"));
    setSize(600, 201);
    setMinimumContentSize(64, 64);
    setMaximumContentSize(32000, 32000);
    setTitleBarButtons(gui::CloseButton | gui::MinimizeButton | gui::MaximizeButton);
}

void SetWin::CreateControls()
{
    _CreateControls0();
}

void SetWin::_CreateControls0()
{
    int tabIndex = 0;
    for (const ControlRow& row : kControls) {
        const QString name = QString::fromLatin1(row.name);
        QWidget* control = nullptr;
        switch (row.cls) {
        case ControlClass::PushButton: control = newControl<gui::PushButton>(); break;
        case ControlClass::Label: control = newControl<gui::Label>(); break;
        case ControlClass::TextField: control = newControl<gui::TextField>(); break;
        }
        _AddControl(control, name);
        QWidget* found = _ControlByName<QWidget>(name);
        gui::applyControlFont(found);
        placeControl(found, row.place, tabIndex++);
    }

    const QString browse = QStringLiteral("参照");
    PushButton1()->setCaption(browse);
    gui::bindAction(PushButton1(), this, &SetWin::PushButton1_Action);
    Label1()->setText(QStringLiteral("tarnwick.pyのフォルダ"));
    Label1()->setTextAlign(2);
    PushButton2()->setCaption(browse);
    gui::bindAction(PushButton2(), this, &SetWin::PushButton2_Action);
    PushButton3()->setCaption(browse);
    PushButton3()->setVisible(false);
    bindOpen([this] { PushButton3_Open(); });
    gui::bindAction(PushButton3(), this, &SetWin::PushButton3_Action);
    Label2()->setText(QStringLiteral("arm-none-eabi-gccのフォルダ"));
    Label2()->setTextAlign(2);
    Label3()->setText(QStringLiteral("Pysonのフォルダ"));
    Label3()->setTextAlign(2);
    Label3()->setVisible(false);
    bindOpen([this] { Label3_Open(); });
    Label4()->setText(QStringLiteral("Pathが通ってない場合は、設定が必要です"));
    gui::setTextStyle(Label4(), true, true);
    Label5()->setText(QStringLiteral("tarnwice.pyのフォルダの設定は必須です"));
    gui::setTextStyle(Label5(), true, true);
    gui::setTextColor(Label5(), 0xFF0000);
    for (gui::TextField* field : {twkEF(), ArmEF(), PytEF()})
        field->setReadOnly(true);
    PytEF()->setVisible(false);
    bindOpen([this] { PytEF_Open(); });
}

void SetWin::AddMenuHandlers()
{
    AddMenuHandler(QStringLiteral("FileClose"), [this] { return _FileClose_Action(); });
}

void SetWin::Event_Open()
{
    SetFolders();
}

bool SetWin::_FileClose_Action()
{
    Close();
    return true;
}

void SetWin::SetFolders()
{
    using namespace Module1;
    ArmEF()->setText(QString());
    twkEF()->setText(QString());
    PytEF()->setText(QString());
    if (gTarnwickFolder && gTarnwickFolder->Exists())
        twkEF()->setText(gTarnwickFolder->ShellPath());
    if (gArmNoneFolder && gArmNoneFolder->Exists())
        ArmEF()->setText(gArmNoneFolder->ShellPath());
    if (gPythonFolder && gPythonFolder->Exists())
        PytEF()->setText(gPythonFolder->ShellPath());
}

void SetWin::PushButton1_Action(gui::PushButton*)
{
    const FolderRow row{QStringLiteral("tarnwick.py folder..."),
                        QStringLiteral("Select the folder containing tarnwick.py..."), [] {
                            return gui::SpecialFolder::UserHome()->Child(QStringLiteral("Kestrova_tarnwick-master"));
                        }};
    if (gui::FolderItemPtr chosen = chooseFolder(Module1::gTarnwickFolder, row)) {
        Module1::gTarnwickFolder = chosen;
        keepFolders();
    }
    SetFolders();
}

void SetWin::PushButton2_Action(gui::PushButton*)
{
    const FolderRow row{QStringLiteral("arm-none-eabi-gcc folder..."),
                        QStringLiteral("Select the folder containing arm-none-eabi-gcc..."), [] {
                            return gui::SpecialFolder::UserHome()->Child(QStringLiteral("arm-cs-tools"))->Child(
                                QStringLiteral("bin"));
                        }};
    if (gui::FolderItemPtr chosen = chooseFolder(Module1::gArmNoneFolder, row)) {
        Module1::gArmNoneFolder = chosen;
        keepFolders();
    }
    SetFolders();
}

void SetWin::PushButton3_Open() {}

void SetWin::PushButton3_Action(gui::PushButton*)
{
    SetFolders();
}

void SetWin::Label3_Open() {}

void SetWin::PytEF_Open() {}

gui::PushButton* SetWin::PushButton1() const { return _ControlByName<gui::PushButton>(QStringLiteral("PushButton1")); }
gui::Label* SetWin::Label1() const { return _ControlByName<gui::Label>(QStringLiteral("Label1")); }
gui::PushButton* SetWin::PushButton2() const { return _ControlByName<gui::PushButton>(QStringLiteral("PushButton2")); }
gui::PushButton* SetWin::PushButton3() const { return _ControlByName<gui::PushButton>(QStringLiteral("PushButton3")); }
gui::Label* SetWin::Label2() const { return _ControlByName<gui::Label>(QStringLiteral("Label2")); }
gui::Label* SetWin::Label3() const { return _ControlByName<gui::Label>(QStringLiteral("Label3")); }
gui::Label* SetWin::Label4() const { return _ControlByName<gui::Label>(QStringLiteral("Label4")); }
gui::Label* SetWin::Label5() const { return _ControlByName<gui::Label>(QStringLiteral("Label5")); }
gui::TextField* SetWin::twkEF() const { return _ControlByName<gui::TextField>(QStringLiteral("twkEF")); }
gui::TextField* SetWin::ArmEF() const { return _ControlByName<gui::TextField>(QStringLiteral("ArmEF")); }
gui::TextField* SetWin::PytEF() const { return _ControlByName<gui::TextField>(QStringLiteral("PytEF")); }
