#include "converter/twk_win.h"

#include "app/gui/runtime.h"
#include "app/main_menu_bar.h"

#include <iterator>

namespace {

enum class ControlClass { Label, TextField, PopupMenu, ComboBox, PushButton, TextArea, BevelButton, CheckBox };

struct ControlRow {
    const char* name;
    ControlClass cls;
    gui::Place place;
    int tabIndex;
};

constexpr unsigned LeftBottom = gui::LockLeft | gui::LockBottom;
constexpr unsigned LeftTop = gui::LockLeft | gui::LockTop;

// The twenty controls in the order they are made, at their places in the
// 600 x 550 content area, with the edges each keeps its distance to.
const ControlRow kControls[] = {
    {"Label1", ControlClass::Label, {27, 217, 62, 20, LeftBottom}, 0},
    {"Label2", ControlClass::Label, {120, 217, 74, 20, LeftBottom}, 1},
    {"Label3", ControlClass::Label, {217, 217, 95, 20, LeftBottom}, 2},
    {"Label4", ControlClass::Label, {298, 217, 76, 20, LeftBottom}, 3},
    {"Label5", ControlClass::Label, {390, 217, 95, 20, LeftBottom}, 4},
    {"aOpt", ControlClass::TextField, {217, 239, 60, 22, LeftBottom}, 7},
    {"oOpt", ControlClass::PopupMenu, {301, 239, 60, 20, LeftBottom}, 9},
    {"sOpt", ControlClass::ComboBox, {28, 239, 60, 20, LeftBottom}, 10},
    {"dOpt", ControlClass::ComboBox, {122, 239, 60, 20, LeftBottom}, 11},
    {"cOpt", ControlClass::ComboBox, {395, 239, 60, 20, LeftBottom}, 12},
    {"PushButton1", ControlClass::PushButton, {515, 239, 76, 20, gui::LockRight | gui::LockBottom}, 13},
    {"cEF", ControlClass::TextArea, {0, 35, 600, 179, LeftTop | gui::LockRight | gui::LockBottom}, 14},
    {"bEF", ControlClass::TextArea, {0, 274, 600, 140, LeftBottom | gui::LockRight}, 15},
    {"rEF", ControlClass::TextArea, {0, 426, 600, 104, LeftBottom | gui::LockRight}, 20},
    {"NewBB", ControlClass::BevelButton, {5, 6, 50, 22, LeftTop}, 25},
    {"OpenBB", ControlClass::BevelButton, {58, 6, 50, 22, LeftTop}, 26},
    {"SaveBB", ControlClass::BevelButton, {121, 6, 50, 22, LeftTop}, 27},
    {"CSaveCB", ControlClass::CheckBox, {178, 7, 36, 20, LeftTop}, 28},
    {"BSaveCB", ControlClass::CheckBox, {219, 7, 60, 20, LeftTop}, 29},
    {"SaveBB1", ControlClass::BevelButton, {506, 6, 83, 22, gui::LockTop | gui::LockRight}, 30},
};

// Six lines, each ended by a carriage return.
const QString kSampleRoutine = QStringLiteral(
    "#include <stdint.h>\r\rint16_t usr_sample(int16_t val, void *mem)\r{\r  return -2 * val;\r}\r");

QString numberRows(int first, int last)
{
    QStringList rows;
    for (int n = first; n <= last; ++n)
        rows << QString::number(n);
    return rows.join(u'\r');
}

}  // namespace

TWKWin::TWKWin() = default;

TWKWin::~TWKWin()
{
    mCFile.reset();
    mBFile.reset();
}

void TWKWin::Layout()
{
    // The bar comes first, so the content size below is kept under it.
    setMenuBar(MainMenuBar::shared());
    setSize(600, 550);
    setMinimumContentSize(64, 64);
    setMaximumContentSize(32000, 32000);
    setTitle(QStringLiteral("Kestrova_tarnwick"));
    setTitleBarButtons(gui::CloseButton | gui::MinimizeButton | gui::MaximizeButton);
}

void TWKWin::CreateControls()
{
    _CreateControls0();
}

void TWKWin::AddMenuHandlers()
{
    AddMenuHandler(QStringLiteral("FileClose"), [this] { return _FileClose_Action(); });
}

template <class T>
std::shared_ptr<T> TWKWin::menuEntry(const char* name) const
{
    if (!installedMenuBar())
        return nullptr;
    return std::dynamic_pointer_cast<T>(installedMenuBar()->_Lookup(QString::fromLatin1(name)));
}

gui::MenuItemPtr TWKWin::EditMenu() const { return menuEntry("EditMenu"); }
gui::MenuItemPtr TWKWin::EditSelectAll() const { return menuEntry("EditSelectAll"); }
gui::MenuItemPtr TWKWin::EditSeparator2() const { return menuEntry("EditSeparator2"); }
gui::MenuItemPtr TWKWin::EditClear() const { return menuEntry("EditClear"); }
gui::MenuItemPtr TWKWin::EditPaste() const { return menuEntry("EditPaste"); }
gui::MenuItemPtr TWKWin::EditCopy() const { return menuEntry("EditCopy"); }
gui::MenuItemPtr TWKWin::EditCut() const { return menuEntry("EditCut"); }
gui::MenuItemPtr TWKWin::EditSeparator1() const { return menuEntry("EditSeparator1"); }
gui::MenuItemPtr TWKWin::EditUndo() const { return menuEntry("EditUndo"); }
gui::MenuItemPtr TWKWin::FileMenu() const { return menuEntry("FileMenu"); }
std::shared_ptr<gui::QuitMenuItem> TWKWin::FileQuit() const { return menuEntry<gui::QuitMenuItem>("FileQuit"); }
gui::MenuItemPtr TWKWin::UntitledSeparator1() const { return menuEntry("UntitledSeparator1"); }
std::shared_ptr<gui::PrefsMenuItem> TWKWin::FilePref() const { return menuEntry<gui::PrefsMenuItem>("FilePref"); }
gui::MenuItemPtr TWKWin::UntitledSeparator0() const { return menuEntry("UntitledSeparator0"); }
gui::MenuItemPtr TWKWin::FileSaveBASIC() const { return menuEntry("FileSaveBASIC"); }
gui::MenuItemPtr TWKWin::FileSave() const { return menuEntry("FileSave"); }
gui::MenuItemPtr TWKWin::UntitledSeparator() const { return menuEntry("UntitledSeparator"); }
gui::MenuItemPtr TWKWin::FileClose() const { return menuEntry("FileClose"); }
gui::MenuItemPtr TWKWin::FileOpen() const { return menuEntry("FileOpen"); }
gui::MenuItemPtr TWKWin::FileNEW() const { return menuEntry("FileNEW"); }

bool TWKWin::_FileClose_Action()
{
    Close();
    return true;
}

void TWKWin::_CreateControls0()
{
    for (const ControlRow& row : kControls) {
        const QString name = QString::fromLatin1(row.name);
        QWidget* control = nullptr;
        switch (row.cls) {
        case ControlClass::Label: control = newControl<gui::Label>(); break;
        case ControlClass::TextField: control = newControl<gui::TextField>(); break;
        case ControlClass::PopupMenu: control = newControl<gui::PopupMenu>(); break;
        case ControlClass::ComboBox: control = newControl<gui::ComboBox>(); break;
        case ControlClass::PushButton: control = newControl<gui::PushButton>(); break;
        case ControlClass::TextArea: control = newControl<gui::TextArea>(); break;
        case ControlClass::BevelButton: control = newControl<gui::BevelButton>(); break;
        case ControlClass::CheckBox: control = newControl<gui::CheckBox>(); break;
        }
        _AddControl(control, name);
        QWidget* found = _ControlByName<QWidget>(name);
        gui::applyControlFont(found);
        placeControl(found, row.place, row.tabIndex);
    }

    Label1()->setText(QStringLiteral("-s <行番号>"));
    Label2()->setText(QStringLiteral("-d <行増分>"));
    Label3()->setText(QStringLiteral("-a <開始>"));
    Label4()->setText(QStringLiteral("-o {出力形式}"));
    Label5()->setText(QStringLiteral("-c <1行データ数>"));

    aOpt()->setText(QStringLiteral("0x700"));
    aOpt()->setCueText(QStringLiteral("0x700"));

    oOpt()->setRows(QStringLiteral("bin\rdec\rhex"));
    oOpt()->setListIndex(2);
    sOpt()->setRows(QStringLiteral("1\r2\r3\r4\r5\r10\r20\r50\r100\r150\r200\r400\r500\r1000\r"));
    sOpt()->setListIndex(8);
    dOpt()->setRows(QStringLiteral("1\r2\r3\r4\r5\r10\r20"));
    dOpt()->setListIndex(5);
    cOpt()->setRows(numberRows(1, 20));
    cOpt()->setListIndex(7);

    PushButton1()->setCaption(QStringLiteral("Convert"));
    gui::bindAction(PushButton1(), this, &TWKWin::PushButton1_Action);

    for (gui::TextArea* area : {cEF(), bEF(), rEF()})
        area->setAutomaticallyCheckSpelling(true);
    // A line typed into the sample ends as the platform's text files do.
    cEF()->setText(kSampleRoutine, gui::EndOfLine());

    NewBB()->setCaption(QStringLiteral("New"));
    gui::bindAction(NewBB(), this, &TWKWin::NewBB_Action);
    OpenBB()->setCaption(QStringLiteral("Open"));
    gui::bindAction(OpenBB(), this, &TWKWin::OpenBB_Action);
    SaveBB()->setCaption(QStringLiteral("Save"));
    gui::bindAction(SaveBB(), this, &TWKWin::SaveBB_Action);
    CSaveCB()->setCaption(QStringLiteral("C"));
    CSaveCB()->setValue(true);
    BSaveCB()->setCaption(QStringLiteral("BASIC"));
    BSaveCB()->setValue(false);
    SaveBB1()->setCaption(QStringLiteral("Preferences"));
    gui::bindAction(SaveBB1(), this, &TWKWin::SaveBB1_Action);
}

gui::Label* TWKWin::Label1() const { return _ControlByName<gui::Label>(QStringLiteral("Label1")); }
gui::Label* TWKWin::Label2() const { return _ControlByName<gui::Label>(QStringLiteral("Label2")); }
gui::Label* TWKWin::Label3() const { return _ControlByName<gui::Label>(QStringLiteral("Label3")); }
gui::Label* TWKWin::Label4() const { return _ControlByName<gui::Label>(QStringLiteral("Label4")); }
gui::Label* TWKWin::Label5() const { return _ControlByName<gui::Label>(QStringLiteral("Label5")); }
gui::TextField* TWKWin::aOpt() const { return _ControlByName<gui::TextField>(QStringLiteral("aOpt")); }
gui::PopupMenu* TWKWin::oOpt() const { return _ControlByName<gui::PopupMenu>(QStringLiteral("oOpt")); }
gui::ComboBox* TWKWin::sOpt() const { return _ControlByName<gui::ComboBox>(QStringLiteral("sOpt")); }
gui::ComboBox* TWKWin::dOpt() const { return _ControlByName<gui::ComboBox>(QStringLiteral("dOpt")); }
gui::ComboBox* TWKWin::cOpt() const { return _ControlByName<gui::ComboBox>(QStringLiteral("cOpt")); }
gui::PushButton* TWKWin::PushButton1() const { return _ControlByName<gui::PushButton>(QStringLiteral("PushButton1")); }
gui::TextArea* TWKWin::cEF() const { return _ControlByName<gui::TextArea>(QStringLiteral("cEF")); }
gui::TextArea* TWKWin::bEF() const { return _ControlByName<gui::TextArea>(QStringLiteral("bEF")); }
gui::TextArea* TWKWin::rEF() const { return _ControlByName<gui::TextArea>(QStringLiteral("rEF")); }
gui::BevelButton* TWKWin::NewBB() const { return _ControlByName<gui::BevelButton>(QStringLiteral("NewBB")); }
gui::BevelButton* TWKWin::OpenBB() const { return _ControlByName<gui::BevelButton>(QStringLiteral("OpenBB")); }
gui::BevelButton* TWKWin::SaveBB() const { return _ControlByName<gui::BevelButton>(QStringLiteral("SaveBB")); }
gui::CheckBox* TWKWin::CSaveCB() const { return _ControlByName<gui::CheckBox>(QStringLiteral("CSaveCB")); }
gui::CheckBox* TWKWin::BSaveCB() const { return _ControlByName<gui::CheckBox>(QStringLiteral("BSaveCB")); }
gui::BevelButton* TWKWin::SaveBB1() const { return _ControlByName<gui::BevelButton>(QStringLiteral("SaveBB1")); }
