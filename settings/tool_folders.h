#pragma once

#include "app/gui/folder_item.h"

/// The system's whole configuration: the folders of the outside tools and the
/// settings file. Each is unset (null) until start-up or the user sets it.
namespace Module1 {

/// The folder that holds tarnwick.py; conversions make their temporary files there.
extern gui::FolderItemPtr gTarnwickFolder;
/// The folder that holds arm-none-eabi-gcc and arm-none-eabi-objcopy.
extern gui::FolderItemPtr gArmNoneFolder;
/// The folder that holds python.
extern gui::FolderItemPtr gPythonFolder;
/// twk.txt, the settings file; set once at start-up.
extern gui::FolderItemPtr gSettingFile;

}  // namespace Module1
