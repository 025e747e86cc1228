#pragma once

/// The application from start to exit: file types, the application object with
/// its menu bar and handlers, the Open event, the event loop, then the release of
/// the module globals in their order. Returns the process's exit status.
int runApplication(int argc, char** argv);
