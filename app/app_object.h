#pragma once

#include "app/gui/application.h"

/// The application object: opens the first converter window and serves
/// File > New and File > Open....
class App : public gui::Application {
public:
    App();

    /// Finds the settings file and the tool folders, opens the first converter
    /// window, and the settings window when the conversion-script folder is unset.
    void Event_Open() override;
    /// File > New: a new converter window. Always handled.
    bool _FileNEW_Action();
    /// File > Open...: a C file in a new converter window. Always handled.
    bool _FileOpen_Action();
};
