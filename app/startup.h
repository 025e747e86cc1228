#pragma once

#include "app/app_object.h"

#include <memory>

/// The application from start to exit: file types, the application object with
/// its menu bar and handlers, the Open event, the event loop, then the release of
/// the module globals in their order. Returns the process's exit status.
int runApplication(int argc, char** argv);

/// The steps before the event loop: the file types, then the application
/// object with the shared menu bar, registered, then its two menu handlers.
/// The object must outlive the event loop.
std::unique_ptr<App> _EarlyStartup();
/// After the event loop: unsets each module global and lets go of what it
/// held, in the order pBFILE, pCFILE, pTFILE, the menu bar, then the folders
/// and the settings file.
void releaseModuleGlobals();
