#pragma once

#include "app/gui/folder_item.h"

namespace gui::SpecialFolder {

/// The user's preferences folder: ~/Library/Preferences on macOS, the XDG
/// configuration folder ($XDG_CONFIG_HOME, else ~/.config) on Linux.
FolderItemPtr Preferences();
/// The user's home folder ($HOME on Unix).
FolderItemPtr UserHome();

}  // namespace gui::SpecialFolder
