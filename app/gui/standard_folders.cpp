#include "app/gui/standard_folders.h"

#include <QDir>
#include <QStandardPaths>

namespace gui::SpecialFolder {

FolderItemPtr Preferences()
{
    // GenericConfigLocation is ~/Library/Preferences on macOS and the XDG
    // configuration folder elsewhere: where each platform keeps such files.
    return FolderItem::fromPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

FolderItemPtr UserHome()
{
    return FolderItem::fromPath(QDir::homePath());
}

}  // namespace gui::SpecialFolder
