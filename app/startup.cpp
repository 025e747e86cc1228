#include "app/startup.h"

#include "app/app_object.h"
#include "app/file_types.h"
#include "app/gui/window.h"
#include "app/main_menu_bar.h"
#include "settings/tool_folders.h"

#include <QApplication>
#include <QTimer>

#include <memory>

namespace {

void unset(gui::FolderItemPtr& global)
{
    gui::FolderItemPtr held = std::move(global);
    global = nullptr;
    held.reset();
}

}  // namespace

void releaseModuleGlobals()
{
    FileTypes1::release();
    MainMenuBar::release();
    unset(Module1::gArmNoneFolder);
    unset(Module1::gTarnwickFolder);
    unset(Module1::gPythonFolder);
    unset(Module1::gSettingFile);
}

std::unique_ptr<App> _EarlyStartup()
{
    FileTypes1::_Initialize();

    auto app = std::make_unique<App>();
    // The bar is in place before the object is registered, and the handlers
    // only after that, so no command can arrive at a half-made application.
    app->setMenuBar(MainMenuBar::shared());
    app->registerAsAppObject();
    app->AddMenuHandler(QStringLiteral("FileNEW"), [a = app.get()] { return a->_FileNEW_Action(); });
    app->AddMenuHandler(QStringLiteral("FileOpen"), [a = app.get()] { return a->_FileOpen_Action(); });
    return app;
}

int runApplication(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrova_tarnwick"));
    const std::unique_ptr<App> app = _EarlyStartup();

    // The Open event runs from the event loop, as the loop's first act.
    QTimer::singleShot(0, &qtApp, [a = app.get()] { a->Event_Open(); });
    const int status = QApplication::exec();

    // Windows still open when the loop ends are discarded like closed ones.
    gui::discardOpenWindows();
    releaseModuleGlobals();
    return status;
}
