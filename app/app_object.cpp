#include "app/app_object.h"

#include "app/gui/standard_folders.h"
#include "converter/documents.h"
#include "settings/set_win.h"
#include "settings/settings_file.h"
#include "settings/tool_folders.h"

App::App() = default;

void App::Event_Open()
{
    using namespace Module1;

    const gui::FolderItemPtr preferences = gui::SpecialFolder::Preferences();
    preferences->CreateAsFolder();
    const gui::FolderItemPtr maker = preferences->Child(QStringLiteral("Tessaly Utilities"));
    maker->CreateAsFolder();
    const gui::FolderItemPtr product = maker->Child(QStringLiteral("Lumatools"));
    product->CreateAsFolder();
    gSettingFile = product->Child(QStringLiteral("twk.txt"));

    const gui::FolderItemPtr home = gui::SpecialFolder::UserHome();
    const gui::FolderItemPtr scriptFolder = home->Child(QStringLiteral("Kestrova_tarnwick-master"));
    if (scriptFolder->Exists()) {
        const gui::FolderItemPtr script = scriptFolder->Child(QStringLiteral("tarnwick.py"));
        if (script->Exists())
            gTarnwickFolder = script->Parent();
    }

    const gui::FolderItemPtr tools = home->Child(QStringLiteral("arm-cs-tools"));
    if (tools->Exists()) {
        const gui::FolderItemPtr bin = tools->Child(QStringLiteral("bin"));
        if (bin->Exists()) {
            const gui::FolderItemPtr compiler = bin->Child(QStringLiteral("arm-none-eabi-gcc"));
            if (compiler->Exists())
                gArmNoneFolder = compiler->Parent();
        }
    }

    ReadSetting();
    NewTWK();
    if (!gTarnwickFolder)
        SetWin::shared()->Show();
}

bool App::_FileNEW_Action()
{
    Module1::NewTWK();
    return true;
}

bool App::_FileOpen_Action()
{
    Module1::OpenTWK();
    return true;
}
